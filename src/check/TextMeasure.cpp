#include "check/TextMeasure.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <algorithm>

namespace {
FT_Face asFace(void* face)
{
    return static_cast<FT_Face>(face);
}
float pixels(FT_Pos units)
{
    return static_cast<float>(units) / static_cast<float>(1 << 6);
}
}

TextMeasure::TextMeasure() = default;

TextMeasure::~TextMeasure()
{
    if (face)
        FT_Done_Face(asFace(face));
    if (library)
        FT_Done_FreeType(static_cast<FT_Library>(library));
}

bool TextMeasure::load(const std::string& path)
{
    if (!library) {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0)
            return false;
        library = lib;
    }
    if (face)
        FT_Done_Face(asFace(face));
    face = nullptr;
    glyphs.clear();
    currentSize = 0;
    FT_Face opened = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(library), path.c_str(), 0, &opened) != 0)
        return false;
    if (FT_Select_Charmap(opened, FT_ENCODING_UNICODE) != 0) {
        FT_Done_Face(opened);
        return false;
    }
    face = opened;
    return true;
}

bool TextMeasure::setSize(unsigned size)
{
    if (size == currentSize)
        return true;
    if (FT_Set_Pixel_Sizes(asFace(face), 0, size) != 0)
        return false;
    currentSize = size;
    return true;
}

const TextMeasure::Glyph& TextMeasure::glyph(sf::Uint32 code, unsigned size)
{
    const auto key = std::make_pair(code, size);
    auto found = glyphs.find(key);
    if (found != glyphs.end())
        return found->second;
    Glyph g;
    FT_Face f = asFace(face);
    if (setSize(size) && FT_Load_Char(f, code, FT_LOAD_TARGET_NORMAL | FT_LOAD_FORCE_AUTOHINT) == 0) {
        FT_Glyph desc = nullptr;
        if (FT_Get_Glyph(f->glyph, &desc) == 0) {
            FT_Glyph_To_Bitmap(&desc, FT_RENDER_MODE_NORMAL, nullptr, 1);
            const FT_Bitmap& bitmap = reinterpret_cast<FT_BitmapGlyph>(desc)->bitmap;
            g.advance = pixels(f->glyph->metrics.horiAdvance);
            if (bitmap.width > 0 && bitmap.rows > 0) {
                const FT_Glyph_Metrics& m = f->glyph->metrics;
                g.box = sf::FloatRect(pixels(m.horiBearingX), -pixels(m.horiBearingY), pixels(m.width),
                                      pixels(m.height));
            }
            FT_Done_Glyph(desc);
        }
    }
    return glyphs.emplace(key, g).first->second;
}

float TextMeasure::kerning(sf::Uint32 first, sf::Uint32 second, unsigned size)
{
    FT_Face f = asFace(face);
    if (first == 0 || second == 0 || !FT_HAS_KERNING(f) || !setSize(size))
        return 0;
    FT_Vector k;
    if (FT_Get_Kerning(f, FT_Get_Char_Index(f, first), FT_Get_Char_Index(f, second), FT_KERNING_DEFAULT, &k) != 0)
        return 0;
    return FT_IS_SCALABLE(f) ? pixels(k.x) : static_cast<float>(k.x);
}

sf::FloatRect TextMeasure::bounds(const sf::String& text, unsigned size)
{
    if (!face || text.isEmpty())
        return sf::FloatRect();
    const float whitespace = glyph(' ', size).advance;
    const float lineSpacing = setSize(size) ? pixels(asFace(face)->size->metrics.height) : 0;
    float x = 0, y = static_cast<float>(size);
    float minX = static_cast<float>(size), minY = static_cast<float>(size), maxX = 0, maxY = 0;
    sf::Uint32 previous = 0;
    for (std::size_t i = 0; i < text.getSize(); ++i) {
        const sf::Uint32 c = text[i];
        if (c == '\r')
            continue;
        x += kerning(previous, c, size);
        previous = c;
        if (c == ' ' || c == '\n' || c == '\t') {
            minX = std::min(minX, x);
            minY = std::min(minY, y);
            if (c == ' ')
                x += whitespace;
            else if (c == '\t')
                x += whitespace * 4;
            else {
                y += lineSpacing;
                x = 0;
            }
            maxX = std::max(maxX, x);
            maxY = std::max(maxY, y);
            continue;
        }
        const Glyph& g = glyph(c, size);
        minX = std::min(minX, x + g.box.left);
        maxX = std::max(maxX, x + g.box.left + g.box.width);
        minY = std::min(minY, y + g.box.top);
        maxY = std::max(maxY, y + g.box.top + g.box.height);
        x += g.advance;
    }
    return sf::FloatRect(minX, minY, maxX - minX, maxY - minY);
}

bool TextMeasure::has(sf::Uint32 code) const
{
    return face && FT_Get_Char_Index(asFace(face), code) != 0;
}
