#include "world/Map.h"

#include "characters/Boss.h"
#include "render/Camera.h"
#include "dialogueformat/DialogueTree.h"
#include "core/Entity.h"
#include "core/GameState.h"
#include "render/Graphics.h"
#include "characters/Player.h"
#include "characters/Table.h"
#include "characters/Victim.h"
#include "characters/Warden.h"

#include "mapformat/Lookup.h"
#include "mapformat/MapDocument.h"
#include "mapformat/MapRooms.h"
#include "resources/ResourceFile.h"
#include "story/CastFiles.h"

#include <boost/property_tree/ptree.hpp>

#include <memory>
#include <optional>

namespace pt = boost::property_tree;

namespace {

Entity* makeEntity(const std::string& type, int x, int y)
{
    if (type == "player")
        return new Player(x, y);
    if (type == "victim")
        return new Victim(x, y);
    if (type == "warden")
        return new Warden(x, y);
    if (type == "table")
        return new Table(x, y);
    if (type == "boss")
        return new Boss(x, y);
    return new Entity(x, y);
}

// A conversation named by the map, never outside res/.
DialogueTree* conversation(const std::string& name, const std::string& asking, const std::string& referrer)
{
    const std::string path = CastFiles::named(name, asking);
    ResourceFile::requireInside(path, referrer);
    return DialogueTree::load(path);
}

} // namespace

void Map::loadMap(const std::string& fileName, GameState* state)
{
    const MapDocument map("res/maps/" + fileName);
    height = map.height;
    width = map.width;
    tileSize = map.tileSize;
    rooms = MapRooms(map);
    Camera::configure(width * tileSize, height * tileSize, map.property("camera"));

    // A tileset already cached under its name keeps its pictures.
    for (const MapDocument::Tileset& tileset : map.tilesets)
        if (!Graphics::tilesetIsLoaded(tileset.name))
            Graphics::loadTilemap(map.imageOf(tileset), tileset.name, tileSize, tileset.margin, tileset.spacing);

    for (const MapDocument::Layer& layer : map.layers) {
        for (const LayerData::Cell& cell : layer.data.cells) {
            const std::optional<MapDocument::Cell> found = map.resolve(cell.value);
            if (!found)
                continue;
            const pt::ptree& properties = *found->properties;
            const std::string& file = found->file;
            const std::string& where = found->where;
            Lookup::needSingleValues(properties, file, where);
            const std::string type = Lookup::need<std::string>(properties, "type", file, where);
            const std::string dialogueName = properties.get<std::string>("dialogue", "");

            const int column = static_cast<int>(cell.index % static_cast<std::uint32_t>(width));
            const int row = static_cast<int>(cell.index / static_cast<std::uint32_t>(width));
            std::unique_ptr<Entity> entity(makeEntity(type, column * tileSize, row * tileSize));
            if (type == "victim") {
                auto* victim = static_cast<Victim*>(entity.get());
                victim->part = Lookup::need<int>(properties, "part", file, where);
                if (!dialogueName.empty())
                    victim->secondDialogue = conversation(dialogueName, CastFiles::victim.asking, file);
            }
            if (!dialogueName.empty()) {
                DialogueTree* tree = conversation(dialogueName, "", file);
                delete entity->dialogue;
                entity->dialogue = tree;
            }
            entity->type = type;
            entity->solid = Lookup::need<bool>(properties, "solid", file, where);
            entity->name = properties.get<std::string>("name", "undefined");
            entity->voice = properties.get_optional<float>("voice").value_or(0.f);
            if (Graphics::pictureless)
                entity->bounds.width = entity->bounds.height = Graphics::tileSide(found->tileset->name, found->slot);
            else
                entity->setTexture(*Graphics::getTexture(found->tileset->name, found->slot));
            entity->tileset = found->tileset->name;
            entity->tile = found->tile;
            if (type != "player" && type != "table")
                entity->facings = properties.get_optional<int>("facings").value_or(-1);
            // Characters show their own pictures upright.
            if (!CastFiles::isCharacter(type))
                entity->flip = found->flip;
            state->add(entity.release());
        }
    }
}
