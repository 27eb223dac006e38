# The per-user folder Lexomat runs in, shared by the scripts and the installed
# program: $XDG_DATA_HOME/lexomat, normally ~/.local/share/lexomat.

user_folder() {
  local data="${XDG_DATA_HOME:-}"
  # A relative XDG_DATA_HOME is invalid and ignored, as the program does.
  case "$data" in /*) ;; *) data="$HOME/.local/share" ;; esac
  echo "${data%/}/lexomat"
}

# move_old_user_folder OLD NEW: moves what an older Lexomat kept in OLD (~/.lexomat)
# into NEW without losing a library. A library whose name is taken in NEW by a
# different file arrives as "NAME (from .lexomat).mdb"; beside-files (elements/,
# wrong.au) are not moved, NEW has its own. OLD is removed once nothing is left in it.
move_old_user_folder() {
  local old="$1" new="$2" file rel target dir name stem ext n
  [ -d "$old" ] || return 0
  if [ ! -e "$new" ]; then
    mkdir -p "$(dirname "$new")"
    mv "$old" "$new"
    echo "Moved $old to $new"
    return 0
  fi
  while IFS= read -r -d '' file; do
    rel="${file#"$old"/}"
    case "$rel" in elements/* | wrong.au) continue ;; esac
    target="$new/$rel"
    if [ -e "$target" ]; then
      if cmp -s "$file" "$target"; then
        rm -- "$file"
        continue
      fi
      dir="${target%/*}" name="${target##*/}" stem="$name" ext=""
      case "$name" in ?*.*) stem="${name%.*}" ext=".${name##*.}" ;; esac
      target="$dir/$stem (from .lexomat)$ext"
      n=2
      while [ -e "$target" ]; do
        target="$dir/$stem (from .lexomat $n)$ext"
        n=$((n + 1))
      done
    fi
    mkdir -p "$(dirname "$target")"
    mv -n -- "$file" "$target"
    echo "Moved $file to $target"
  done < <(find "$old" -type f -print0)
  rm -rf -- "$old/elements" "$old/wrong.au"
  find "$old" -depth -type d -empty -delete
  if [ -e "$old" ]; then
    echo "Some files stayed in $old: move them by hand."
  fi
}
