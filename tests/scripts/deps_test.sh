#!/usr/bin/env bash
# scripts/deps against a stubbed dpkg and apt: which packages it asks for, for
# each LibreOffice a machine may already have, and that it never lets apt
# remove one.
set -euo pipefail
deps=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

mkdir "$tmp/bin"
# Installed: every package not named libreoffice*, and the libreoffice* ones listed in $tmp/instalados.
cat >"$tmp/bin/dpkg-query" <<'FIM'
#!/usr/bin/env bash
p=${!#}
if [[ $p != libreoffice* ]] || grep -qx "$p" "$ESTADO/instalados"; then
  printf 'install ok installed'
else
  exit 1
fi
FIM
cat >"$tmp/bin/apt-get" <<'FIM'
#!/usr/bin/env bash
[ "$1" = update ] || echo "$*" >>"$ESTADO/apt"
FIM
printf '#!/bin/sh\necho 0\n' >"$tmp/bin/id"
chmod +x "$tmp/bin/"*
export ESTADO=$tmp PATH="$tmp/bin:$PATH"

falhas=0
# caso DESCRICAO "instalados..." "esperados..." (esperados vazio: apt não é chamado)
caso() {
  printf '%s\n' $2 >"$tmp/instalados"
  rm -f "$tmp/apt"
  "$deps" 2>/dev/null
  local pedido=""
  if [ -f "$tmp/apt" ]; then
    if ! grep -q -- "--no-remove" "$tmp/apt"; then
      echo "FALHOU ($1): apt-get install sem --no-remove: $(cat "$tmp/apt")"
      falhas=$((falhas + 1))
    fi
    pedido=$(tr ' ' '\n' <"$tmp/apt" | grep '^libreoffice' | sort | xargs)
  fi
  local esperado
  esperado=$(printf '%s\n' $3 | sort | xargs)
  if [ "$pedido" != "$esperado" ]; then
    echo "FALHOU ($1): pediu [$pedido], esperado [$esperado]"
    falhas=$((falhas + 1))
  fi
}

caso "sem LibreOffice" "" \
  "libreoffice-calc libreoffice-gtk3 libreoffice-writer libreoffice-dev libreoffice-dev-common"
caso "o habitual, completo" \
  "libreoffice-core libreoffice-calc libreoffice-writer libreoffice-dev libreoffice-dev-common" ""
caso "o habitual sem o Writer nem o SDK" "libreoffice-core libreoffice-calc" \
  "libreoffice-writer libreoffice-dev libreoffice-dev-common"
caso "o -nogui, completo" \
  "libreoffice-core-nogui libreoffice-calc-nogui libreoffice-writer-nogui libreoffice-dev libreoffice-dev-common" ""
caso "só o núcleo -nogui" "libreoffice-core-nogui libreoffice-dev libreoffice-dev-common" \
  "libreoffice-calc-nogui libreoffice-writer-nogui"
caso "núcleo habitual com o Calc -nogui" \
  "libreoffice-core libreoffice-calc-nogui libreoffice-dev libreoffice-dev-common" \
  "libreoffice-writer"

[ $falhas -eq 0 ] && echo "deps: todos os casos passaram"
exit $falhas
