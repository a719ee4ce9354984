# small_world DIR: a 7 x 4 room. Row 1 holds a victim, the boss and three
# tables; the player starts below the boss, in the corridor of row 2.
#
#   W W W W W W W
#   W V B T T T W
#   W . P . . . W
#   W W W W W W W
#
# Tiles: 1 floor, 2 wall, 3 player, 4 victim, 5 victim without disguise,
# 6 boss, 7 table, 8-10 the table defaced, 11 a talking sign.
# The game's own font comes along: without it the game does not start.
small_world() {
  local dir=$1
  mkdir -p "$dir/res/maps" "$dir/res/gfx" "$dir/res/txt" "$dir/res/fnt"
  cp "${TARNWICK_SOURCE_DIR:?}/res/fnt/LibMono.ttf" "$dir/res/fnt/"
  png_strip "$dir/res/gfx/world.png" '#404040' '#a0a0a0' '#ff0000' '#00ff00' '#008000' \
    '#ffff00' '#8b4513' '#ff00ff' '#00ffff' '#ffffff' '#ff8000'
  # The player's sheet: four facings for 0 and 1 disguise.
  convert -size 128x32 xc:'#ff0000' -size 128x32 xc:'#800000' -append "PNG32:$dir/res/gfx/player.png"
  # The camera that follows the player wherever it goes: the tests find the
  # player in the middle of the picture.
  cat > "$dir/res/maps/testmap.json" <<'JSON'
{ "width": 7, "height": 4, "tilewidth": 32, "tileheight": 32,
  "properties": { "camera": "follow" },
  "layers": [
    { "name": "floor", "data": [1,1,1,1,1,1,1, 1,1,1,1,1,1,1, 1,1,1,1,1,1,1, 1,1,1,1,1,1,1] },
    { "name": "things", "data": [2,2,2,2,2,2,2, 2,4,6,7,7,7,2, 2,0,3,0,0,0,2, 2,2,2,2,2,2,2] } ],
  "tilesets": [ { "name": "world", "image": "../gfx/world.png", "firstgid": 1,
    "tileproperties": {
      "0": { "type": "floor", "solid": false },
      "1": { "type": "wall", "solid": true },
      "2": { "type": "player", "solid": false, "name": "You" },
      "3": { "type": "victim", "solid": true, "part": 0, "dialogue": "clerk", "name": "Clerk" },
      "5": { "type": "boss", "solid": true, "name": "Boss" },
      "6": { "type": "table", "solid": true, "name": "Table" } } } ] }
JSON
  local i
  for i in 0 1 2 3 4 5; do leaf "$dir/res/txt/warden$i.xml" "warden $i"; done
  for i in 0 1 2; do leaf "$dir/res/txt/table$i.xml" "You scratch the table ($i)."; done
  for i in 0 1 2 3; do leaf "$dir/res/txt/boss$i.xml" "Part $i."; done
  leaf "$dir/res/txt/clerk.xml" "Thanks again."
  printf 'start = Talk to the boss.\n' > "$dir/res/txt/goals.ini"
  for i in 0 1 2; do
    printf '[part%s]\nlivery = Find a hat.\ntable = Scratch a table.\nreport = See the boss.\n' "$i"
  done >> "$dir/res/txt/goals.ini"
  cat > "$dir/res/txt/clerk2.xml" <<'XML'
<dialogue>
  <text><l>Want my hat?</l><l>It is a good hat.</l></text>
  <options><o>Yes</o><o>No</o></options>
  <responses>
    <r><dialogue><text><l>Here you are.</l></text></dialogue></r>
    <r><dialogue><text><l>Suit yourself.</l></text></dialogue></r>
  </responses>
</dialogue>
XML
}
