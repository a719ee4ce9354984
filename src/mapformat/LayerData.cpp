#include "mapformat/LayerData.h"

#include "mapformat/Decompress.h"

#include <boost/beast/core/detail/base64.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cctype>
#include <charconv>
#include <climits>
#include <optional>

namespace pt = boost::property_tree;

namespace {

[[noreturn]] void reject(const std::string& file, const std::string& message, const std::string& value)
{
    throw pt::ptree_bad_data(file + ": " + message, value);
}

const pt::ptree& needData(const pt::ptree& layer, const std::string& file)
{
    try {
        return layer.get_child("data");
    } catch (const pt::ptree_bad_path& e) {
        throw pt::ptree_bad_path(file + ": No such node", e.path<pt::ptree::path_type>());
    }
}

// A plain decimal without sign, from 0 to `highest`.
std::optional<std::uint32_t> plainNumber(const std::string& text, std::uint32_t highest)
{
    std::uint32_t value = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    const auto result = std::from_chars(first, last, value);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) || result.ec != std::errc()
        || result.ptr != last || value > highest)
        return std::nullopt;
    return value;
}

void refuseOverBudget(const std::string& file, long long held, long long budget)
{
    if (held > budget)
        reject(file,
               "the layers hold more cells in all than a map may (" + std::to_string(budget)
                   + " more were allowed): make the map smaller or use fewer layers",
               std::to_string(held));
}

// The cells of an array, each converted by `parse`.
template <class Parse>
LayerData readArray(const pt::ptree& data, const std::string& file, const std::string& where, long long capacity,
                    long long budget, Parse parse)
{
    LayerData layer;
    for (const auto& element : data) {
        if (layer.held >= capacity)
            reject(file, where + "\"data\" holds more than width x height (" + std::to_string(capacity) + ") cells",
                   element.second.data());
        const std::uint32_t value = parse(element.second.data(), layer.held);
        if (value != 0)
            layer.cells.push_back({static_cast<std::uint32_t>(layer.held), value});
        ++layer.held;
        refuseOverBudget(file, layer.held, budget);
    }
    return layer;
}

// Standard base64 with padding; white space around and between is allowed.
std::optional<std::string> fromBase64(const std::string& text)
{
    std::string packed;
    packed.reserve(text.size());
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            packed += c;
    if (packed.size() % 4 != 0)
        return std::nullopt;
    std::size_t padding = 0;
    while (padding < 2 && padding < packed.size() && packed[packed.size() - 1 - padding] == '=')
        ++padding;
    // The padding decodes as zero bits, and the extra bytes are dropped: the
    // decoder then only ever sees whole groups of four.
    for (std::size_t i = packed.size() - padding; i < packed.size(); ++i)
        packed[i] = 'A';
    std::string bytes(boost::beast::detail::base64::decoded_size(packed.size()), '\0');
    const auto [wrote, read] = boost::beast::detail::base64::decode(bytes.data(), packed.data(), packed.size());
    if (read != packed.size())
        return std::nullopt; // a character outside the alphabet
    bytes.resize(wrote - padding);
    return bytes;
}

} // namespace

LayerData LayerData::readLegacy(const pt::ptree& layer, const std::string& file, long long capacity, long long budget)
{
    return readArray(needData(layer, file), file, "a layer's ", capacity, budget,
                     [&](const std::string& text, long long index) {
                         const auto value = plainNumber(text, INT_MAX);
                         if (!value)
                             reject(file,
                                    "cell " + std::to_string(index) + " of a layer is \"" + text
                                        + "\", not a tile number from 0 to " + std::to_string(INT_MAX),
                                    text);
                         return *value;
                     });
}

LayerData LayerData::readCurrent(const pt::ptree& layer, const std::string& file, const std::string& name,
                                 long long capacity, long long budget)
{
    const std::string where = "layer \"" + name + "\": ";
    const pt::ptree& data = needData(layer, file);
    const std::string encoding = layer.get<std::string>("encoding", "csv");
    const std::string compression = layer.get<std::string>("compression", "");

    if (encoding == "csv") {
        if (!data.data().empty() && data.empty())
            reject(file, where + "\"data\" is text but \"encoding\" is not base64", encoding);
        return readArray(data, file, where, capacity, budget, [&](const std::string& text, long long index) {
            const auto value = plainNumber(text, UINT32_MAX);
            if (!value)
                reject(file,
                       where + "cell " + std::to_string(index) + " is \"" + text
                           + "\", not a tile number from 0 to 4294967295",
                       text);
            return *value;
        });
    }
    if (encoding != "base64")
        reject(file, where + "\"encoding\" is \"" + encoding + "\"; the game reads csv and base64", encoding);

    // A base64 layer holds every cell of the map, 4 bytes each.
    refuseOverBudget(file, capacity, budget);
    const std::size_t bytes = static_cast<std::size_t>(capacity) * 4;
    std::optional<std::string> raw = fromBase64(data.data());
    if (!raw)
        reject(file, where + "\"data\" is not valid base64", compression);
    if (compression == "zlib" || compression == "gzip" || compression == "zstd") {
        const Decompress::Method method = compression == "zlib"   ? Decompress::Method::zlib
                                          : compression == "gzip" ? Decompress::Method::gzip
                                                                  : Decompress::Method::zstd;
        try {
            raw = Decompress::unpack(*raw, method, bytes);
        } catch (const Decompress::Error& e) {
            if (e.tooLarge)
                reject(file,
                       where + "the " + compression + " data unpacks to more than the layer's "
                           + std::to_string(capacity) + " cells (" + std::to_string(bytes) + " bytes)",
                       compression);
            reject(file, where + "the " + compression + " data cannot be unpacked: " + e.what(), compression);
        }
    } else if (!compression.empty()) {
        reject(file, where + "\"compression\" is \"" + compression + "\"; the game reads zlib, gzip and zstd",
               compression);
    }
    if (raw->size() != bytes)
        reject(file,
               where + "the data holds " + std::to_string(raw->size()) + " bytes, not 4 for each of the "
                   + std::to_string(capacity) + " cells",
               compression);

    LayerData result;
    result.held = capacity;
    const auto* p = reinterpret_cast<const unsigned char*>(raw->data());
    for (long long i = 0; i < capacity; ++i, p += 4) {
        const std::uint32_t value = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
                                    | std::uint32_t(p[3]) << 24;
        if (value != 0)
            result.cells.push_back({static_cast<std::uint32_t>(i), value});
    }
    return result;
}
