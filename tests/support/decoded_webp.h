#pragma once

#include <vector>

#include <QByteArray>
#include <QImage>

#include <webp/demux.h>

namespace genart::testing {

// An animated WebP's frames as libwebp's animation decoder composes them.
struct DecodedWebp {
    std::vector<QImage> frames; // Format_RGB32
    std::vector<int> timestamps; // when each frame ends, in milliseconds
    int loopCount = -1;          // 0: forever
};

inline DecodedWebp decodeWebp(const QByteArray& bytes)
{
    DecodedWebp decoded;
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA; // Format_ARGB32's memory order
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder)
        return decoded;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    decoded.loopCount = static_cast<int>(info.loop_count);
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        uint8_t* pixels = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder, &pixels, &timestamp))
            break;
        const QImage frame(pixels, static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height),
                           QImage::Format_ARGB32);
        decoded.frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
        decoded.timestamps.push_back(timestamp);
    }
    WebPAnimDecoderDelete(decoder);
    return decoded;
}

} // namespace genart::testing
