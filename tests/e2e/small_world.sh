# shellcheck shell=bash
# A small world of the checks' own, written over the copied data tree after
# e2e_setup, so that a battle check does not depend on the shipped map: nine
# equal screens walled with '#', an empty field inside, a marker line to tell
# the field on the screen, and no figures except those a check places on
# screen 1, where the hero starts. Source it after lib.sh.

# The layout's row 2, as the terminal shows it (59 columns, trailing blank dropped).
E2E_MARKER_ROW='#   small field of the battle checks                      #'

# Writes one layout line of 59 characters: a wall at both ends, blanks between,
# or the marker.
world_layout_line() {
  case $1 in
  0 | 19) printf '%059d\n' 0 | tr 0 '#' ;;
  2) printf '%s\n' "$E2E_MARKER_ROW" ;;
  *) printf '#%57s#\n' '' ;;
  esac
}

# e2e_write_world "KIND GROUP X Y" ...: the nine layouts, a header whose Queen,
# King and gate lie on screen 9 and whose start screen is 1, the given figures
# on screen 1 and none elsewhere.
e2e_write_world() {
  local forms=$E2E_WORK/data/map_form/map1 infos=$E2E_WORK/data/map_info/map1 n row
  rm -rf "$forms" "$infos"
  mkdir -p "$forms" "$infos"
  for n in 1 2 3 4 5 6 7 8 9; do
    for row in $(seq 0 19); do world_layout_line "$row"; done >"$forms/$n.txt"
    echo 0 >"$infos/$n.txt"
  done
  [ "$(wc -L <"$forms/1.txt")" = 59 ] || e2e_fail "the layout lines are not 59 columns"
  echo '9 30 10 9 10 10 9 20 1 1' >"$E2E_WORK/data/map_info/map1.txt"
  { echo "$#"; for figure in "$@"; do echo "$figure"; done; } >"$infos/1.txt"
}

# e2e_write_hero "NUMBERS": the hero file with the name 勇者 and the 21 numbers
# maxHp attack defense magicAttack magicDefense speed nextLevelExp exp level,
# four spares, three items (held count) and the start column and row.
e2e_write_hero() {
  printf '勇者\n%s\n' "$1" | iconv -f UTF-8 -t CP932 >"$E2E_WORK/data/Hero_Info/Hero_Status_Info.txt" ||
    e2e_fail "cannot write the hero file"
}

# The items of a data file, one a line, bytes as they are.
world_items() { LC_ALL=C awk '{ gsub(/\r/, ""); for (i = 1; i <= NF; i++) print $i }' "$1"; }

# e2e_set_enemy_speed FILE SPEED: the kind file with its speed (the item after
# name, number, glyph and seven numbers) changed; the rest stays as shipped.
e2e_set_enemy_speed() {
  local file=$E2E_WORK/data/Enemy_Info/$1
  world_items "$file" | LC_ALL=C awk -v speed="$2" '{ print (NR == 11 ? speed : $0) }' >"$file.new" ||
    e2e_fail "cannot rewrite $1"
  mv "$file.new" "$file"
}

# The kind's glyph as the terminal shows it.
e2e_enemy_glyph() { world_items "$E2E_WORK/data/Enemy_Info/$1" | sed -n 3p | iconv -f CP932 -t UTF-8; }

# Lines of the screen as UTF-8 without trailing blanks.
e2e_screen_row() { e2e_screen | sed -n "$(($1 + 1))p" | sed 's/ *$//'; }
e2e_field_shown() { e2e_screen | sed 's/ *$//' | grep -qxF -- "$E2E_MARKER_ROW"; }

# The battle screen: the enemy view and the command menu are up.
e2e_battle_screen_shown() {
  e2e_screen_has 'Enemy View' && e2e_screen_has 'たたかう' && e2e_screen_has 'にげる'
}
# The glyph is drawn in the enemy view.
e2e_in_enemy_view() { e2e_screen | grep -F 'Enemy View' -A 12 | grep -qF -- "$1"; }

# e2e_open_way_to_screen2 [MARKER]: row 10 passes from screen 1 into screen 2
# (the walls between them opened); with a marker, screen 2 shows it on row 2.
e2e_open_way_to_screen2() {
  local forms=$E2E_WORK/data/map_form/map1
  sed -i '11s/#$/ /' "$forms/1.txt"
  sed -i '11s/^#/ /' "$forms/2.txt"
  [ $# -eq 0 ] || sed -i "3s/.*/$1/" "$forms/2.txt"
}

# The save of the check's world in its state folder (not the copies beside it).
e2e_save_file() { ls "$XDG_STATE_HOME"/chessrpg/save-*.txt 2>/dev/null | grep -v '\.bad-\|\.aside-' | head -n 1; }
