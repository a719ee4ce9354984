#include "render/DrawIndex.h"

#include "core/Entity.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <typeinfo>

namespace {
// A picture over more cells than this is simply included every time.
constexpr long long maxCellsPerEntity = 64;
}

void DrawIndex::refile()
{
    filed.clear();
    filed.shrink_to_fit();
}

void DrawIndex::file(const std::vector<Entity*>& entities)
{
    filed = entities;
    always.clear();
    cells.clear();
    columns = rows = 0;

    struct Placed {
        std::size_t at;
        sf::FloatRect rect;
    };
    std::vector<Placed> placed;
    float right = 0, bottom = 0;
    for (std::size_t i = 0; i < entities.size(); ++i) {
        const Entity* e = entities[i];
        if (!e || typeid(*e) != typeid(Entity) || !e->sprite.getTexture()
            || i > std::numeric_limits<std::uint32_t>::max()) {
            always.push_back(i);
            continue;
        }
        sf::Transform picture = e->flip ? e->flipTransform() : sf::Transform();
        picture.combine(e->sprite.getTransform());
        const sf::FloatRect rect = picture.transformRect(e->sprite.getLocalBounds());
        if (!std::isfinite(rect.left) || !std::isfinite(rect.top) || !std::isfinite(rect.width)
            || !std::isfinite(rect.height)) {
            always.push_back(i);
            continue;
        }
        if (placed.empty()) {
            left = rect.left;
            top = rect.top;
            right = rect.left + rect.width;
            bottom = rect.top + rect.height;
        }
        left = std::min(left, rect.left);
        top = std::min(top, rect.top);
        right = std::max(right, rect.left + rect.width);
        bottom = std::max(bottom, rect.top + rect.height);
        placed.push_back({i, rect});
    }
    if (placed.empty())
        return;

    // 256-pixel cells (eight 32-pixel tiles across), larger when the
    // entities lie so far apart that the grid would grow too big.
    const auto count = [&](double length) { return std::max(1.0, std::ceil(length / side)); };
    const double across = static_cast<double>(right) - left, down = static_cast<double>(bottom) - top;
    side = 256;
    while (count(across) * count(down) > static_cast<double>(maxCells))
        side *= 2;
    columns = static_cast<long long>(count(across));
    rows = static_cast<long long>(count(down));
    cells.resize(static_cast<std::size_t>(columns * rows));

    for (const Placed& p : placed) {
        const long long c0 = std::min(columns - 1, static_cast<long long>((p.rect.left - left) / side));
        const long long c1 = std::min(columns - 1, static_cast<long long>((p.rect.left + p.rect.width - left) / side));
        const long long r0 = std::min(rows - 1, static_cast<long long>((p.rect.top - top) / side));
        const long long r1 = std::min(rows - 1, static_cast<long long>((p.rect.top + p.rect.height - top) / side));
        if ((c1 - c0 + 1) * (r1 - r0 + 1) > maxCellsPerEntity) {
            always.push_back(p.at);
            continue;
        }
        for (long long r = r0; r <= r1; ++r)
            for (long long c = c0; c <= c1; ++c)
                cells[static_cast<std::size_t>(r * columns + c)].push_back(static_cast<std::uint32_t>(p.at));
    }
    std::sort(always.begin(), always.end());
}

void DrawIndex::fileIfChanged(const std::vector<Entity*>& entities)
{
    if (entities.size() != filed.size() || !std::equal(entities.begin(), entities.end(), filed.begin()))
        file(entities);
}

const std::vector<std::size_t>& DrawIndex::acting(const std::vector<Entity*>& entities)
{
    fileIfChanged(entities);
    return always;
}

const std::vector<std::size_t>& DrawIndex::near(const std::vector<Entity*>& entities, const sf::FloatRect& seen)
{
    fileIfChanged(entities);
    found.assign(always.begin(), always.end());
    if (cells.empty())
        return found;

    // The cells the rectangle touches, if it touches the grid at all.
    const double x0 = std::min(seen.left, seen.left + seen.width) - left;
    const double x1 = std::max(seen.left, seen.left + seen.width) - left;
    const double y0 = std::min(seen.top, seen.top + seen.height) - top;
    const double y1 = std::max(seen.top, seen.top + seen.height) - top;
    const double width = static_cast<double>(columns) * side, height = static_cast<double>(rows) * side;
    if (!(x1 >= 0 && y1 >= 0 && x0 <= width && y0 <= height))
        return found;
    const long long c0 = static_cast<long long>(std::max(0.0, x0) / side);
    const long long c1 = std::min(columns - 1, static_cast<long long>(std::min(width, x1) / side));
    const long long r0 = static_cast<long long>(std::max(0.0, y0) / side);
    const long long r1 = std::min(rows - 1, static_cast<long long>(std::min(height, y1) / side));
    for (long long r = r0; r <= r1; ++r)
        for (long long c = c0; c <= c1; ++c) {
            const std::vector<std::uint32_t>& cell = cells[static_cast<std::size_t>(r * columns + c)];
            found.insert(found.end(), cell.begin(), cell.end());
        }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}
