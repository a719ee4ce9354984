// makeart: turns the text pixel maps under tools/art/ into the PNG images
// under res/.
//
// Usage: makeart [ROOT]
//        makeart --icons OUTDIR [ROOT]
//   ROOT is the repository root (default "."). Every "*.txt" file in
//   ROOT/tools/art is read (in name order) and every sheet they declare is
//   written below ROOT/res. With --icons, the sheets are left alone and the
//   icons are written below OUTDIR instead, in the folder layout of an icon
//   theme: OUTDIR/<size>x<size>/apps/<name>.png.
//
// Art file syntax (one statement per line, '#' starts a comment line):
//
//   color C R G B [A]      palette entry: the character C stands for this
//                          colour (A defaults to 255). '.' is always fully
//                          transparent and cannot be redefined.
//   tile NAME              the next 32 lines are the pixel rows of the tile,
//                          32 palette characters each.
//   make NAME = EXPR       a tile built from other tiles, where EXPR is
//                          TERM [+ TERM ...]; later terms are painted over
//                          earlier ones (their '.' pixels let the lower
//                          ones show through). A TERM is one of
//                            NAME
//                            flip(TERM)            mirrored left to right
//                            recolor(TERM, ab, cd) each 'a' becomes 'b', each 'c' 'd'
//                            shift(TERM, DX, DY)   moved by whole pixels
//                            move(TERM, X, Y, W, H, DX, DY)
//                                                  the W x H pixels at X, Y
//                                                  lifted and painted DX, DY
//                                                  further (a leg's stride)
//   sheet FILE COLUMNS     starts an output image FILE (relative to res/),
//                          COLUMNS tiles wide; the following lines list tile
//                          names in slot order (row by row, any number per
//                          line, '-' for an empty slot) up to a line "end".
//   icon NAME TILE SIZE... an icon NAME.png showing TILE, written at every
//                          SIZE (a multiple of 32 up to 1024), each pixel
//                          of the tile becoming a square of SIZE/32 pixels.
//
// Names may be used before they are defined; they are resolved once every
// file has been read.

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const int TILE = 32;

using Grid = std::vector<std::string>;  // TILE rows of TILE palette characters

struct ArtError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Where {
    std::string file;
    int line = 0;
    std::string str() const { return file + ":" + std::to_string(line); }
};

struct Expr {
    enum Kind { Name, Flip, Recolor, Shift, Move, Over } kind = Name;
    std::string name;                         // Name
    std::vector<std::unique_ptr<Expr>> args;  // Flip, Recolor, Shift: one; Over: two or more
    std::vector<std::pair<char, char>> swaps; // Recolor
    int dx = 0, dy = 0;                       // Shift, Move
    int x = 0, y = 0, w = 0, h = 0;           // Move: the pixels moved
};

struct Definition {
    Where where;
    bool isGrid = false;
    Grid grid;
    std::unique_ptr<Expr> expr;
};

struct Sheet {
    Where where;
    std::string file;
    int columns = 0;
    std::vector<std::string> slots;
};

struct Icon {
    Where where;
    std::string name;
    std::string tile;
    std::vector<int> sizes;
};

struct Colour {
    unsigned char r = 0, g = 0, b = 0, a = 0;
};

class Art {
public:
    void readFile(const std::string& path);
    void writeSheets(const std::string& resDir);
    void writeIcons(const std::string& outDir);

private:
    const Grid& resolve(const std::string& name, const Where& from);
    Grid evaluate(const Expr& e, const Where& from);
    void resolveAll();
    // Paints a tile into the image at (ox, oy), each pixel as a scale x scale square.
    void paint(sf::Image& img, const Grid& g, int ox, int oy, int scale) const;
    static void save(const sf::Image& img, const std::string& out, const Where& where);

    std::map<char, Colour> palette_{{'.', Colour{}}};
    std::map<std::string, Definition> defs_;
    std::map<std::string, Grid> done_;
    std::set<std::string> busy_;
    std::vector<Sheet> sheets_;
    std::vector<Icon> icons_;
};

std::string trim(const std::string& s)
{
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool validName(const std::string& s)
{
    if (s.empty()) return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
    }) && s != "-";
}

// Recursive-descent parser for tile expressions.
class ExprParser {
public:
    ExprParser(const std::string& text, const Where& where) : s_(text), where_(where) {}

    std::unique_ptr<Expr> parseAll()
    {
        auto e = parseSum();
        skip();
        if (pos_ != s_.size()) fail("unexpected text '" + s_.substr(pos_) + "'");
        return e;
    }

private:
    [[noreturn]] void fail(const std::string& msg) const
    {
        throw ArtError(where_.str() + ": " + msg);
    }
    void skip()
    {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool accept(char c)
    {
        skip();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void expect(char c)
    {
        if (!accept(c)) fail(std::string("expected '") + c + "'");
    }
    std::string word()
    {
        skip();
        std::size_t b = pos_;
        while (pos_ < s_.size() && !std::isspace(static_cast<unsigned char>(s_[pos_])) &&
               s_[pos_] != '(' && s_[pos_] != ')' && s_[pos_] != ',' && s_[pos_] != '+')
            ++pos_;
        if (b == pos_) fail("expected a name");
        return s_.substr(b, pos_ - b);
    }
    int number()
    {
        std::string w = word();
        char* end = nullptr;
        long v = std::strtol(w.c_str(), &end, 10);
        if (*end != '\0' || v < -TILE || v > TILE) fail("bad number '" + w + "'");
        return static_cast<int>(v);
    }
    std::unique_ptr<Expr> parseSum()
    {
        auto first = parseTerm();
        if (!accept('+')) return first;
        auto over = std::make_unique<Expr>();
        over->kind = Expr::Over;
        over->args.push_back(std::move(first));
        do {
            over->args.push_back(parseTerm());
        } while (accept('+'));
        return over;
    }
    std::unique_ptr<Expr> parseTerm()
    {
        std::string w = word();
        auto e = std::make_unique<Expr>();
        if (w == "flip" || w == "recolor" || w == "shift" || w == "move") {
            expect('(');
            e->args.push_back(parseSum());
            if (w == "flip") {
                e->kind = Expr::Flip;
            } else if (w == "shift" || w == "move") {
                e->kind = w == "shift" ? Expr::Shift : Expr::Move;
                if (e->kind == Expr::Move)
                    for (int* v : {&e->x, &e->y, &e->w, &e->h}) {
                        expect(',');
                        *v = number();
                        if (*v < 0) fail("move's rectangle lies inside the tile");
                    }
                if (e->x + e->w > TILE || e->y + e->h > TILE) fail("move's rectangle lies inside the tile");
                expect(',');
                e->dx = number();
                expect(',');
                e->dy = number();
            } else {
                e->kind = Expr::Recolor;
                expect(',');
                do {
                    std::string pair = word();
                    if (pair.size() != 2) fail("recolor pairs are two characters, got '" + pair + "'");
                    e->swaps.emplace_back(pair[0], pair[1]);
                } while (accept(','));
            }
            expect(')');
        } else {
            if (!validName(w)) fail("bad tile name '" + w + "'");
            e->kind = Expr::Name;
            e->name = w;
        }
        return e;
    }

    std::string s_;
    Where where_;
    std::size_t pos_ = 0;
};

void Art::readFile(const std::string& path)
{
    std::ifstream in(path);
    if (!in) throw ArtError(path + ": cannot open");
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }

    Where where{path, 0};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        where.line = static_cast<int>(i) + 1;
        std::string line = trim(lines[i]);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;

        if (keyword == "color") {
            std::string c;
            int r = -1, g = -1, b = -1, a = 255;
            words >> c >> r >> g >> b;
            if (!(words >> a)) a = 255;
            if (c.size() != 1 || c == "." || r < 0 || r > 255 || g < 0 || g > 255 || b < 0 ||
                b > 255 || a < 0 || a > 255)
                throw ArtError(where.str() + ": bad color statement");
            if (palette_.count(c[0])) throw ArtError(where.str() + ": colour '" + c + "' defined twice");
            palette_[c[0]] = Colour{static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                                    static_cast<unsigned char>(b), static_cast<unsigned char>(a)};
        } else if (keyword == "tile") {
            std::string name;
            words >> name;
            if (!validName(name)) throw ArtError(where.str() + ": bad tile name");
            if (defs_.count(name)) throw ArtError(where.str() + ": tile '" + name + "' defined twice");
            if (i + TILE >= lines.size())
                throw ArtError(where.str() + ": tile '" + name + "' is cut short");
            Definition d;
            d.where = where;
            d.isGrid = true;
            for (int row = 0; row < TILE; ++row) {
                std::string px = lines[i + 1 + row];
                while (!px.empty() && (px.back() == ' ' || px.back() == '\t')) px.pop_back();
                if (static_cast<int>(px.size()) != TILE)
                    throw ArtError(path + ":" + std::to_string(i + 2 + row) + ": row of tile '" + name +
                                   "' has " + std::to_string(px.size()) + " pixels, not 32");
                d.grid.push_back(px);
            }
            i += TILE;
            defs_[name] = std::move(d);
        } else if (keyword == "make") {
            std::size_t eq = line.find('=');
            if (eq == std::string::npos) throw ArtError(where.str() + ": make needs '='");
            std::string name = trim(line.substr(4, eq - 4));
            if (!validName(name)) throw ArtError(where.str() + ": bad tile name '" + name + "'");
            if (defs_.count(name)) throw ArtError(where.str() + ": tile '" + name + "' defined twice");
            Definition d;
            d.where = where;
            d.expr = ExprParser(line.substr(eq + 1), where).parseAll();
            defs_[name] = std::move(d);
        } else if (keyword == "sheet") {
            Sheet sh;
            sh.where = where;
            words >> sh.file >> sh.columns;
            if (sh.file.empty() || sh.columns <= 0) throw ArtError(where.str() + ": bad sheet statement");
            bool ended = false;
            for (++i; i < lines.size(); ++i) {
                std::string l = trim(lines[i]);
                if (l.empty() || l[0] == '#') continue;
                if (l == "end") {
                    ended = true;
                    break;
                }
                std::istringstream names(l);
                for (std::string n; names >> n;) sh.slots.push_back(n);
            }
            if (!ended) throw ArtError(where.str() + ": sheet without 'end'");
            sheets_.push_back(std::move(sh));
        } else if (keyword == "icon") {
            Icon icon;
            icon.where = where;
            words >> icon.name >> icon.tile;
            for (std::string size; words >> size;) {
                char* end = nullptr;
                const long v = std::strtol(size.c_str(), &end, 10);
                if (*end != '\0' || v < TILE || v > 1024 || v % TILE != 0)
                    throw ArtError(where.str() + ": icon size '" + size + "' is not a multiple of 32 up to 1024");
                icon.sizes.push_back(static_cast<int>(v));
            }
            if (!validName(icon.name) || !validName(icon.tile) || icon.sizes.empty())
                throw ArtError(where.str() + ": bad icon statement");
            icons_.push_back(std::move(icon));
        } else {
            throw ArtError(where.str() + ": unknown statement '" + keyword + "'");
        }
    }
}

Grid Art::evaluate(const Expr& e, const Where& from)
{
    switch (e.kind) {
    case Expr::Name:
        return resolve(e.name, from);
    case Expr::Flip: {
        Grid g = evaluate(*e.args[0], from);
        for (auto& row : g) std::reverse(row.begin(), row.end());
        return g;
    }
    case Expr::Recolor: {
        Grid g = evaluate(*e.args[0], from);
        for (auto& row : g)
            for (auto& c : row)
                for (const auto& sw : e.swaps)
                    if (c == sw.first) {
                        c = sw.second;
                        break;
                    }
        return g;
    }
    case Expr::Shift: {
        Grid src = evaluate(*e.args[0], from);
        Grid g(TILE, std::string(TILE, '.'));
        for (int y = 0; y < TILE; ++y)
            for (int x = 0; x < TILE; ++x) {
                int sx = x - e.dx, sy = y - e.dy;
                if (sx >= 0 && sx < TILE && sy >= 0 && sy < TILE) g[y][x] = src[sy][sx];
            }
        return g;
    }
    case Expr::Move: {
        Grid g = evaluate(*e.args[0], from);
        Grid lifted(TILE, std::string(TILE, '.'));
        for (int y = e.y; y < e.y + e.h; ++y)
            for (int x = e.x; x < e.x + e.w; ++x) {
                lifted[y][x] = g[y][x];
                g[y][x] = '.';
            }
        for (int y = e.y; y < e.y + e.h; ++y)
            for (int x = e.x; x < e.x + e.w; ++x) {
                const int tx = x + e.dx, ty = y + e.dy;
                if (lifted[y][x] != '.' && tx >= 0 && tx < TILE && ty >= 0 && ty < TILE) g[ty][tx] = lifted[y][x];
            }
        return g;
    }
    case Expr::Over: {
        Grid g = evaluate(*e.args[0], from);
        for (std::size_t k = 1; k < e.args.size(); ++k) {
            Grid top = evaluate(*e.args[k], from);
            for (int y = 0; y < TILE; ++y)
                for (int x = 0; x < TILE; ++x)
                    if (top[y][x] != '.') g[y][x] = top[y][x];
        }
        return g;
    }
    }
    throw ArtError(from.str() + ": broken expression");
}

const Grid& Art::resolve(const std::string& name, const Where& from)
{
    auto hit = done_.find(name);
    if (hit != done_.end()) return hit->second;
    auto def = defs_.find(name);
    if (def == defs_.end()) throw ArtError(from.str() + ": unknown tile '" + name + "'");
    if (busy_.count(name)) throw ArtError(def->second.where.str() + ": tile '" + name + "' refers to itself");
    busy_.insert(name);
    Grid g = def->second.isGrid ? def->second.grid : evaluate(*def->second.expr, def->second.where);
    busy_.erase(name);
    for (int y = 0; y < TILE; ++y)
        for (int x = 0; x < TILE; ++x)
            if (!palette_.count(g[y][x]))
                throw ArtError(def->second.where.str() + ": tile '" + name + "' uses undefined colour '" +
                               std::string(1, g[y][x]) + "' at " + std::to_string(x) + "," +
                               std::to_string(y));
    return done_[name] = std::move(g);
}

void Art::resolveAll()
{
    // Every definition must be sound, even those no sheet uses yet.
    for (const auto& d : defs_) resolve(d.first, d.second.where);
}

void Art::paint(sf::Image& img, const Grid& g, int ox, int oy, int scale) const
{
    for (int y = 0; y < TILE * scale; ++y)
        for (int x = 0; x < TILE * scale; ++x) {
            const Colour& c = palette_.at(g[y / scale][x / scale]);
            img.setPixel(static_cast<unsigned>(ox + x), static_cast<unsigned>(oy + y),
                         sf::Color(c.r, c.g, c.b, c.a));
        }
}

void Art::save(const sf::Image& img, const std::string& out, const Where& where)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(out).parent_path(), ec);
    if (!img.saveToFile(out)) throw ArtError(where.str() + ": cannot write " + out);
}

void Art::writeSheets(const std::string& resDir)
{
    resolveAll();
    for (const auto& sh : sheets_) {
        const int count = static_cast<int>(sh.slots.size());
        const int rows = std::max(1, (count + sh.columns - 1) / sh.columns);
        sf::Image img;
        img.create(static_cast<unsigned>(sh.columns * TILE), static_cast<unsigned>(rows * TILE),
                   sf::Color::Transparent);
        for (int k = 0; k < count; ++k) {
            if (sh.slots[k] == "-") continue;
            const Grid& g = resolve(sh.slots[k], sh.where);
            paint(img, g, (k % sh.columns) * TILE, (k / sh.columns) * TILE, 1);
        }
        const std::string out = resDir + "/" + sh.file;
        save(img, out, sh.where);
        std::cout << out << ": " << sh.columns << " x " << rows << " tiles, " << count << " used\n";
    }
}

void Art::writeIcons(const std::string& outDir)
{
    resolveAll();
    if (icons_.empty()) throw ArtError("no icon statements in the art files");
    for (const auto& icon : icons_) {
        const Grid& g = resolve(icon.tile, icon.where);
        for (int size : icon.sizes) {
            sf::Image img;
            img.create(static_cast<unsigned>(size), static_cast<unsigned>(size), sf::Color::Transparent);
            paint(img, g, 0, 0, size / TILE);
            const std::string px = std::to_string(size);
            const std::string out = outDir + "/" + px + "x" + px + "/apps/" + icon.name + ".png";
            save(img, out, icon.where);
            std::cout << out << "\n";
        }
    }
}

std::vector<std::string> artFiles(const std::string& dir)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".txt") files.push_back(it->path().string());
    if (ec) throw ArtError(dir + ": cannot read directory");
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string iconDir;
    bool understood = true;
    if (!args.empty() && args[0] == "--icons") {
        understood = args.size() >= 2 && !args[1].empty();
        if (understood) {
            iconDir = args[1];
            args.erase(args.begin(), args.begin() + 2);
        }
    }
    if (!understood || args.size() > 1) {
        std::cerr << "usage: makeart [REPOSITORY_ROOT]\n"
                     "       makeart --icons OUTDIR [REPOSITORY_ROOT]\n";
        return 2;
    }
    const std::string root = args.empty() ? "." : args[0];
    try {
        Art art;
        const auto files = artFiles(root + "/tools/art");
        if (files.empty()) throw ArtError(root + "/tools/art: no art files");
        for (const auto& f : files) art.readFile(f);
        if (iconDir.empty())
            art.writeSheets(root + "/res");
        else
            art.writeIcons(iconDir);
    } catch (const ArtError& e) {
        std::cerr << "makeart: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
