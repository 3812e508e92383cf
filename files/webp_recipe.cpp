#include "files/webp_recipe.h"

#include <cstring>
#include <memory>
#include <optional>

#include <QString>
#include <QXmlStreamReader>

#include <webp/mux.h>

#include "session/recipe.h"

namespace genart {
namespace {

// The recipe's own namespace inside the XMP packet.
const char* const kRecipeNamespace = "https://www.orvanik.example/genart/ns/1.0/";
// A recipe is about a kilobyte; an XMP packet much larger than this is not ours.
constexpr std::size_t kLongestXmp = 64 * 1024;

} // namespace

QByteArray webpXmpPacket(const std::string& recipe)
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

namespace {

struct MuxDeleter {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};
WebpRecipe unreadable(const char* why)
{
    return {std::nullopt, std::string("unreadable WebP (") + why + ")"};
}

// Where the XMP packet is, or why it cannot be had.
struct XmpChunk {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::string problem;
};

XmpChunk xmpProblem(std::string problem)
{
    return {0, 0, std::move(problem)};
}

XmpChunk xmpUnreadable(const char* why)
{
    return xmpProblem(unreadable(why).problem);
}

bool isImageChunk(const unsigned char* fourcc)
{
    return std::memcmp(fourcc, "VP8 ", 4) == 0 || std::memcmp(fourcc, "VP8L", 4) == 0
        || std::memcmp(fourcc, "VP8X", 4) == 0;
}

// Walks the RIFF container's chunks by their headers alone: "RIFF", the length of what
// follows, "WEBP", then chunks of a four-letter name, a length and the payload, padded to even.
XmpChunk xmpChunk(const ReadAt& read, std::uint64_t size)
{
    unsigned char header[12];
    if (!read(0, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WEBP", 4) != 0)
        return xmpUnreadable("no RIFF header");
    const std::uint64_t end = std::uint64_t{8} + littleEndian32(header + 4);
    if (end > size)
        return xmpUnreadable("it ends early");
    std::optional<XmpChunk> found;
    std::uint64_t at = sizeof header;
    for (std::size_t chunks = 0; at < end; ++chunks) {
        if (chunks == kMostWebpChunks)
            return xmpProblem("this WebP has more than " + std::to_string(kMostWebpChunks)
                              + " chunks, more than any genart writes");
        unsigned char chunk[8];
        if (end - at < sizeof chunk || !read(at, chunk, sizeof chunk))
            return xmpUnreadable("a chunk is cut short");
        const std::uint64_t length = littleEndian32(chunk + 4);
        const std::uint64_t next = at + sizeof chunk + length + (length & 1);
        if (next > end)
            return xmpUnreadable("a chunk runs past the end");
        if (chunks == 0 && !isImageChunk(chunk))
            return xmpUnreadable("it does not start with an image chunk");
        if (std::memcmp(chunk, "XMP ", 4) == 0) {
            if (found)
                return xmpProblem("this WebP carries more than one XMP packet");
            found = XmpChunk{at + sizeof chunk, length, {}};
        }
        at = next;
    }
    if (!found)
        return xmpProblem("this WebP carries no genart recipe");
    return *found;
}

} // namespace

QByteArray withWebpRecipe(const QByteArray& webp, const std::string& recipe)
{
    const WebPData image{reinterpret_cast<const uint8_t*>(webp.constData()), static_cast<std::size_t>(webp.size())};
    const std::unique_ptr<WebPMux, MuxDeleter> mux(WebPMuxCreate(&image, 0));
    if (!mux)
        return {};
    const QByteArray packet = webpXmpPacket(recipe);
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

WebpRecipe webpRecipe(const ReadAt& read, std::uint64_t size)
{
    const XmpChunk xmp = xmpChunk(read, size);
    if (!xmp.problem.empty())
        return {std::nullopt, xmp.problem};
    if (xmp.size > kLongestXmp)
        return {std::nullopt, "this WebP's XMP metadata is too large to hold a genart recipe"};
    QByteArray packet(static_cast<qsizetype>(xmp.size), '\0');
    if (!read(xmp.offset, packet.data(), static_cast<std::size_t>(xmp.size)))
        return unreadable("it ends early");

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
