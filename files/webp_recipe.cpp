#include "files/webp_recipe.h"

#include <memory>

#include <QString>
#include <QXmlStreamReader>

#include <webp/demux.h>
#include <webp/mux.h>

#include "session/recipe.h"

namespace genart {
namespace {

// The recipe's own namespace inside the XMP packet.
const char* const kRecipeNamespace = "https://www.orvanik.example/genart/ns/1.0/";
// A recipe is about a kilobyte; an XMP packet much larger than this is not ours.
constexpr std::size_t kLongestXmp = 64 * 1024;

QByteArray xmpPacket(const std::string& recipe)
{
    const QString text = QString::fromStdString(recipe).toHtmlEscaped();
    return QStringLiteral("<?xpacket begin=\"\uFEFF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
                          "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                          " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                          "  <rdf:Description rdf:about=\"\" xmlns:genart=\"%1\">\n"
                          "   <genart:%2>%3</genart:%2>\n"
                          "  </rdf:Description>\n"
                          " </rdf:RDF>\n"
                          "</x:xmpmeta>\n"
                          "<?xpacket end=\"r\"?>")
        .arg(QString::fromLatin1(kRecipeNamespace), QString::fromLatin1(kRecipeKey), text)
        .toUtf8();
}

struct MuxDeleter {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};
struct DemuxDeleter {
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

} // namespace

QByteArray withWebpRecipe(const QByteArray& webp, const std::string& recipe)
{
    const WebPData image{reinterpret_cast<const uint8_t*>(webp.constData()), static_cast<std::size_t>(webp.size())};
    const std::unique_ptr<WebPMux, MuxDeleter> mux(WebPMuxCreate(&image, 0));
    if (!mux)
        return {};
    const QByteArray packet = xmpPacket(recipe);
    const WebPData xmp{reinterpret_cast<const uint8_t*>(packet.constData()), static_cast<std::size_t>(packet.size())};
    if (WebPMuxSetChunk(mux.get(), "XMP ", &xmp, 1) != WEBP_MUX_OK)
        return {};
    WebPData assembled{};
    if (WebPMuxAssemble(mux.get(), &assembled) != WEBP_MUX_OK)
        return {};
    QByteArray bytes(reinterpret_cast<const char*>(assembled.bytes), static_cast<qsizetype>(assembled.size));
    WebPDataClear(&assembled);
    return bytes;
}

WebpRecipe webpRecipe(const unsigned char* bytes, std::size_t size)
{
    const WebPData data{bytes, size};
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    if (!demux)
        return {std::nullopt, "unreadable WebP"};
    WebPChunkIterator chunk{};
    if (WebPDemuxGetChunk(demux.get(), "XMP ", 2, &chunk)) {
        WebPDemuxReleaseChunkIterator(&chunk);
        return {std::nullopt, "this WebP carries more than one XMP packet"};
    }
    if (!WebPDemuxGetChunk(demux.get(), "XMP ", 1, &chunk))
        return {std::nullopt, "this WebP carries no genart recipe"};
    const QByteArray packet = chunk.chunk.size <= kLongestXmp
        ? QByteArray(reinterpret_cast<const char*>(chunk.chunk.bytes), static_cast<qsizetype>(chunk.chunk.size))
        : QByteArray();
    WebPDemuxReleaseChunkIterator(&chunk);
    if (packet.isEmpty())
        return {std::nullopt, "this WebP's XMP metadata is too large to hold a genart recipe"};

    QXmlStreamReader xml(packet);
    std::optional<std::string> found;
    int recipes = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.namespaceUri() == QLatin1String(kRecipeNamespace)
            && xml.name() == QLatin1String(kRecipeKey)) {
            const QString text = xml.readElementText();
            if (recipes++ == 0)
                found = text.toStdString();
        }
    }
    if (xml.hasError())
        return {std::nullopt, "this WebP's XMP metadata is not well-formed"};
    if (recipes > 1)
        return {std::nullopt, "this WebP carries more than one genart recipe"};
    if (!found)
        return {std::nullopt, "this WebP carries no genart recipe"};
    return {found, {}};
}

} // namespace genart
