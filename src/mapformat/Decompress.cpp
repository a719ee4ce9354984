#include "mapformat/Decompress.h"

#include <zlib.h>
#include <zstd.h>

#include <climits>
#include <memory>

namespace {

// Windows larger than this are refused rather than allocated: no layer needs
// more than 16 MiB (the largest map's cells at 4 bytes each).
constexpr int zstdWindowLog = 24;

std::string inflateZlib(const std::string& packed, bool gzip, std::size_t limit)
{
    if (packed.size() > UINT_MAX)
        throw Decompress::Error("the data is too large", true);
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 15 + 16 : 15) != Z_OK)
        throw Decompress::Error("cannot start zlib", false);
    // One byte of room beyond the limit tells a stream that is too long.
    std::string out(limit + 1, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size() > UINT_MAX ? UINT_MAX : out.size());
    int result = Z_OK;
    while (result == Z_OK && stream.avail_out > 0)
        result = inflate(&stream, Z_NO_FLUSH);
    const std::size_t produced = out.size() - stream.avail_out;
    const std::size_t leftOver = stream.avail_in;
    inflateEnd(&stream);
    if (produced > limit)
        throw Decompress::Error("unpacks to more than " + std::to_string(limit) + " bytes", true);
    if (result == Z_BUF_ERROR)
        throw Decompress::Error("the compressed data ends early", false);
    if (result != Z_STREAM_END)
        throw Decompress::Error("the compressed data is damaged", false);
    if (leftOver != 0)
        throw Decompress::Error("bytes follow the end of the compressed data", false);
    out.resize(produced);
    return out;
}

std::string inflateZstd(const std::string& packed, std::size_t limit)
{
    std::unique_ptr<ZSTD_DCtx, decltype(&ZSTD_freeDCtx)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    if (!context || ZSTD_isError(ZSTD_DCtx_setParameter(context.get(), ZSTD_d_windowLogMax, zstdWindowLog)))
        throw Decompress::Error("cannot start zstd", false);
    std::string out(limit + 1, '\0');
    ZSTD_inBuffer in{packed.data(), packed.size(), 0};
    ZSTD_outBuffer output{out.data(), out.size(), 0};
    std::size_t result = 1;
    for (;;) {
        const std::size_t wrote = output.pos;
        const std::size_t read = in.pos;
        result = ZSTD_decompressStream(context.get(), &output, &in);
        if (ZSTD_isError(result))
            throw Decompress::Error(std::string("the compressed data is damaged (") + ZSTD_getErrorName(result)
                                        + ")",
                                    false);
        if (output.pos == output.size)
            break; // more than the limit
        if (result == 0 && in.pos == in.size)
            break; // every frame complete
        if (output.pos == wrote && in.pos == read)
            break; // no progress: the data ends early
    }
    if (output.pos > limit)
        throw Decompress::Error("unpacks to more than " + std::to_string(limit) + " bytes", true);
    if (result != 0)
        throw Decompress::Error("the compressed data ends early", false);
    out.resize(output.pos);
    return out;
}

} // namespace

std::string Decompress::unpack(const std::string& packed, Method method, std::size_t limit)
{
    switch (method) {
    case Method::zlib: return inflateZlib(packed, false, limit);
    case Method::gzip: return inflateZlib(packed, true, limit);
    case Method::zstd: return inflateZstd(packed, limit);
    }
    throw Error("unknown compression", false);
}
