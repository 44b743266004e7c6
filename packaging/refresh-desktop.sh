#!/usr/bin/env bash
# After `make install` or `make uninstall` into a live prefix: lets the
# desktop see the file types, the desktop entry and the icons at once. The
# Debian package needs none of this: dpkg triggers do the same.
#   refresh-desktop.sh PREFIX
set -u
share="${1:?usage: refresh-desktop.sh PREFIX}/share"
if [ -d "$share/mime/packages" ] && command -v update-mime-database >/dev/null; then
  update-mime-database "$share/mime"
fi
if [ -d "$share/applications" ] && command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$share/applications"
fi
# A theme cache that is there must be renewed, or the new icons stay unseen;
# without one the desktop reads the folders themselves.
if [ -f "$share/icons/hicolor/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
  gtk-update-icon-cache -q "$share/icons/hicolor"
fi
[ -d "$share/icons/hicolor" ] && touch "$share/icons/hicolor"
exit 0
