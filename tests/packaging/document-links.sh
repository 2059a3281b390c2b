#!/usr/bin/env bash
# Every relative link in README.md, CONTRIBUTING.md and docs/*.md names a file that exists
# and, where it names a heading (#anchor), a heading of that file, as GitHub makes anchors:
# lower case, punctuation dropped, blanks as hyphens. Code blocks are left out.
#   document-links.sh SOURCE_DIR
set -euo pipefail
cd "$1"

# outside_code FILE: the file's lines outside ``` blocks.
outside_code() { awk '/^```/ { code = !code; next } !code' "$1"; }

# anchors FILE: the anchor of each of its headings, one a line.
anchors() {
  outside_code "$1" | sed -n 's/^#\{1,6\} \{1,\}//p' | tr 'A-Z' 'a-z' | sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}

status=0 links=0
for document in README.md CONTRIBUTING.md docs/*.md; do
  while IFS= read -r target; do
    links=$((links + 1))
    case "$target" in *://*|mailto:*) continue ;; esac
    path=${target%%#*}
    anchor=${target#"$path"}
    anchor=${anchor#\#}
    file=$(dirname "$document")/$path
    [ -n "$path" ] || file=$document
    if [ ! -e "$file" ]; then
      echo "$document: $target: no such file" >&2
      status=1
    elif [ -n "$anchor" ] && ! anchors "$file" | grep -xF -- "$anchor" >/dev/null; then
      echo "$document: $target: no such heading in $file" >&2
      status=1
    fi
  done < <(outside_code "$document" | grep -o '\]([^)]*)' | sed 's/^](//; s/)$//')
done
[ "$links" -gt 0 ] || { echo "no links found: is $1 the source tree?" >&2; exit 1; }
[ "$status" -eq 0 ] && echo "$links links, every one resolves"
exit "$status"
