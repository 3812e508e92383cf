#pragma once

// PNGs made chunk by chunk, and the hostile ones a recipe reader must refuse at once.
#include <vector>

#include <QByteArray>
#include <QtGlobal>

#include <zlib.h>

#include "platform/qt/image_surface.h"
#include "session/picture_session.h"
#include "session/recipe.h"
#include "support/image_session.h"

namespace genart::testing::png {

inline QByteArray bigEndian(quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

// One PNG chunk with its CRC.
inline QByteArray chunk(const char* type, const QByteArray& data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.constData()), static_cast<uInt>(body.size()));
    return bigEndian(static_cast<quint32>(data.size())) + body + bigEndian(static_cast<quint32>(crc));
}

// The zlib stream of `text`, as zTXt and iTXt hold it.
inline QByteArray deflated(const QByteArray& text)
{
    return qCompress(text, 9).mid(4); // without Qt's length prefix
}

inline const QByteArray kSignature("\x89PNG\r\n\x1a\n", 8);
inline const QByteArray kHeader =
    kSignature + chunk("IHDR", bigEndian(1) + bigEndian(1) + QByteArray("\x08\x02\0\0\0", 5));
inline const QByteArray kEnd = chunk("IDAT", deflated(QByteArray(4, 0))) + chunk("IEND", {});
inline const QByteArray kRecipeKeyword("genart-recipe\0", 14);

// A 1 by 1 PNG: the header, the chunks given, the image.
inline QByteArray png(const QByteArray& chunks)
{
    return kHeader + chunks + kEnd;
}

// The recipe of seed's start-up picture.
inline Recipe someRecipe(std::uint32_t seed)
{
    return ImageSession(seed, {}, std::make_shared<FixedClock>(2026, 1, 2, 3, 4, 5)).session.recipe();
}

struct HostilePng {
    const char* what;
    QByteArray bytes;
    const char* told; // part of the message that refuses it
};

inline std::vector<HostilePng> hostilePngs()
{
    const QByteArray& key = kRecipeKeyword;
    const QByteArray recipe1 = QByteArray::fromStdString(recipeText(someRecipe(1)));
    const QByteArray recipe2 = QByteArray::fromStdString(recipeText(someRecipe(2)));
    QByteArray bombs, manyTexts;
    const QByteArray bomb = chunk("zTXt", key + '\0' + deflated(QByteArray(7 << 20, 'a')));
    for (int n = 0; n < 100; ++n)
        bombs += bomb;
    for (int n = 0; n < 1000; ++n)
        manyTexts += chunk("tEXt", "k" + QByteArray::number(n) + '\0' + "v");
    QByteArray damaged = png(chunk("tEXt", key + recipe1));
    damaged[kHeader.size() + 20] = 'X';
    const QByteArray claim = bigEndian(0x7fffffff); // and then the file ends
    return {
        {"56 bytes claiming a 2 GB tEXt", kHeader + claim + "tEXt" + key + "g", "tEXt: chunk data is too large"},
        {"claiming a 2 GB zTXt", kHeader + claim + "zTXt" + key, "too large"},
        {"claiming a 2 GB iTXt", kHeader + claim + "iTXt" + key, "too large"},
        {"100 zTXt of 7 MiB", png(bombs), "too large"},
        {"a zTXt inflating to 1 MiB", png(chunk("zTXt", key + '\0' + deflated(QByteArray(1 << 20, 'a')))),
         "unreadable PNG"},
        {"1000 text chunks", png(manyTexts), "unreadable PNG"},
        {"two recipes", png(chunk("tEXt", key + recipe1) + chunk("zTXt", key + '\0' + deflated(recipe2))),
         "more than one genart recipe"},
        {"the same recipe twice", png(chunk("tEXt", key + recipe1) + chunk("tEXt", key + recipe1)),
         "more than one genart recipe"},
        {"a damaged recipe chunk", damaged, "CRC error"},
        {"cut short", png(chunk("tEXt", key + recipe1)).left(kHeader.size() + 100), "unreadable PNG"},
        {"no image", kHeader + chunk("IEND", {}), "unreadable PNG"},
        {"a bad header", kSignature + chunk("IHDR", QByteArray(13, '\xff')) + kEnd, "unreadable PNG"},
    };
}

} // namespace genart::testing::png
