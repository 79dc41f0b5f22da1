#!/usr/bin/env bash
# Block bytes are written only by the model, the schema's codecs and rules,
# the file reader and the link's transfers (which replace the block on the
# wire) and the document putting back a state the user undoes to.
# Everything else changes the configuration through the document, so every
# change is announced. Prints each offending line; fails if any.
set -euo pipefail
src=${1:?usage: check_block_writes.sh SRC_DIR}
writes='\.block\[[^]]*\][[:space:]]*([-+|&^]?=[^=])|\.block[[:space:]]*=[^=]|SetBits\(|SetCheckDigitMode\(|\.block\.(fill|begin)\('
allowed='^(model|schema|files|link/protocol)/|^link/(transmit_exchanges|keyboard_transfers|decoder_apply)\.cpp:|^document/document_state\.h:'
found=$(cd "$src" && grep -rnE "$writes" --include='*.cpp' --include='*.h' . | sed 's|^\./||' | grep -vE "$allowed" || true)
if [ -n "$found" ]; then
  echo "Block bytes written outside the codecs, the model, the files and the link's transfers:"
  echo "$found"
  exit 1
fi
