#!/usr/bin/env bash
# Replaces the vendored OpenSeadragon (third_party/openseadragon) with VERSION from the npm registry:
# the minified script, without its source-map line (the map is not vendored), and the licence.
# tesscli inlines the script into every DeepZoom viewer page, so it must not contain "</script".
# Usage: scripts/vendor-openseadragon.sh VERSION   (e.g. 5.0.1; needs npm)
set -euo pipefail
cd "$(dirname "$0")/.."
VERSION=${1:?usage: $0 VERSION}
DEST=third_party/openseadragon
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

(cd "$WORK" && npm pack --silent "openseadragon@$VERSION" >/dev/null)
tar -xzf "$WORK/openseadragon-$VERSION.tgz" -C "$WORK"
grep -v '^//# sourceMappingURL=' "$WORK/package/build/openseadragon/openseadragon.min.js" > "$WORK/openseadragon.min.js"
if grep -qi '</script' "$WORK/openseadragon.min.js"; then
  echo "openseadragon $VERSION contains </script and cannot be inlined into a page" >&2
  exit 1
fi
cp "$WORK/openseadragon.min.js" "$DEST/openseadragon.min.js"
cp "$WORK/package/LICENSE.txt" "$DEST/LICENSE.txt"
cat > "$DEST/README.md" <<README
OpenSeadragon $VERSION (BSD-3-Clause, see LICENSE.txt): \`build/openseadragon/openseadragon.min.js\`
of the npm package \`openseadragon@$VERSION\`, its source-map line removed. Re-vendor with
\`scripts/vendor-openseadragon.sh VERSION\`. tesscli embeds it at build time and inlines it into the
DeepZoom viewer page it writes beside every \`.dzi\`.
README
echo "vendored openseadragon $VERSION into $DEST"
