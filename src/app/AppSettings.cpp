#include "app/AppSettings.h"

#include <QRect>
#include <QSettings>
#include <QWidget>

namespace velmorin {

namespace {

constexpr const char* RecentGroup = "Recent File List";

int ReadInt(QSettings& store, const char* key, int fallback) {
    bool ok = false;
    const int value = store.value(QString::fromLatin1(key), fallback).toInt(&ok);
    return ok ? value : fallback;
}

void WriteInt(QSettings& store, const char* key, int value) {
    store.setValue(QString::fromLatin1(key), value);
}

}  // namespace

AppSettings ReadAppSettings(QSettings& store) {
    AppSettings defaults;
    AppSettings settings;
    store.beginGroup("Settings");
    settings.commPort = ReadInt(store, "CommPort", defaults.commPort);
    settings.plcId = ReadInt(store, "PlcId", defaults.plcId);
    if (settings.plcId == 0) settings.plcId = 1;
    settings.setRunMode = ReadInt(store, "setRunMode", defaults.setRunMode);
    settings.setStopMode = ReadInt(store, "setStopMode", defaults.setStopMode);
    settings.setIdAll = ReadInt(store, "setIdAll", defaults.setIdAll);
    settings.plcSelOnProg = ReadInt(store, "PlcSelOnProg", defaults.plcSelOnProg);
    store.endGroup();
    return settings;
}

WindowPlacement ReadWindowPlacement(QSettings& store) {
    WindowPlacement defaults;
    WindowPlacement placement;
    store.beginGroup("WinPos");
    placement.maxX = ReadInt(store, "ptMaxPosition_x", defaults.maxX);
    placement.maxY = ReadInt(store, "ptMaxPosition_y", defaults.maxY);
    placement.minX = ReadInt(store, "ptMinPosition_x", defaults.minX);
    placement.minY = ReadInt(store, "ptMinPosition_y", defaults.minY);
    placement.showCmd = ReadInt(store, "showCmd", defaults.showCmd);
    placement.bottom = ReadInt(store, "rcNormalPosition_bottom", defaults.bottom);
    placement.top = ReadInt(store, "rcNormalPosition_top", defaults.top);
    placement.left = ReadInt(store, "rcNormalPosition_left", defaults.left);
    placement.right = ReadInt(store, "rcNormalPosition_right", defaults.right);
    store.endGroup();
    return placement;
}

QStringList ReadRecentFiles(QSettings& store) {
    QStringList files;
    store.beginGroup(RecentGroup);
    for (int i = 1; i <= 4; ++i) {
        const QString path = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) files << path;
    }
    store.endGroup();
    return files;
}

void WriteAppSettings(QSettings& store, const AppSettings& settings, const WindowPlacement& placement,
                      const QStringList& recentFiles) {
    store.beginGroup("Settings");
    WriteInt(store, "CommPort", settings.commPort);
    WriteInt(store, "PlcId", settings.plcId == 0 ? 1 : settings.plcId);
    store.endGroup();

    store.beginGroup("WinPos");
    WriteInt(store, "ptMaxPosition_x", placement.maxX);
    WriteInt(store, "ptMaxPosition_y", placement.maxY);
    WriteInt(store, "ptMinPosition_x", placement.minX);
    WriteInt(store, "ptMinPosition_y", placement.minY);
    WriteInt(store, "showCmd", placement.showCmd);
    WriteInt(store, "rcNormalPosition_bottom", placement.bottom);
    WriteInt(store, "rcNormalPosition_top", placement.top);
    WriteInt(store, "rcNormalPosition_left", placement.left);
    WriteInt(store, "rcNormalPosition_right", placement.right);
    store.endGroup();

    store.beginGroup("Settings");
    WriteInt(store, "setRunMode", settings.setRunMode);
    WriteInt(store, "setStopMode", settings.setStopMode);
    WriteInt(store, "setIdAll", settings.setIdAll);
    WriteInt(store, "PlcSelOnProg", settings.plcSelOnProg);
    store.endGroup();

    store.beginGroup(RecentGroup);
    store.remove(QString());
    for (int i = 0; i < recentFiles.size() && i < 4; ++i) {
        store.setValue(QStringLiteral("File%1").arg(i + 1), recentFiles[i]);
    }
    store.endGroup();
    store.sync();
}

QRect PlacementRect(const WindowPlacement& placement) {
    return QRect(placement.left, placement.top, placement.right - placement.left, placement.bottom - placement.top);
}

void ApplyWindowPlacement(QWidget& window, const WindowPlacement& placement) {
    WindowPlacement rect = placement;
    // A damaged rectangle would give an invisible window; keep the default size then.
    if (rect.right - rect.left <= 0 || rect.bottom - rect.top <= 0) {
        const WindowPlacement defaults;
        rect.left = defaults.left;
        rect.top = defaults.top;
        rect.right = defaults.right;
        rect.bottom = defaults.bottom;
    }
    // The corner is where the window frame goes; the size is the window's own.
    window.move(rect.left, rect.top);
    window.resize(rect.right - rect.left, rect.bottom - rect.top);
    switch (placement.showCmd) {
    case ShowMaximized:
        window.showMaximized();
        break;
    case ShowMinimized:
    case ShowMinimize:
    case ShowMinimizedInactive:
        window.showMinimized();
        break;
    default:
        window.showNormal();
        break;
    }
}

WindowPlacement CaptureWindowPlacement(const QWidget& window, const QRect& restored,
                                       const WindowPlacement& previous) {
    WindowPlacement placement = previous;
    QRect normal(window.pos(), window.size());
    if (window.isMinimized()) {
        placement.showCmd = ShowMinimized;
        normal = restored;
    } else if (window.isMaximized()) {
        placement.showCmd = ShowMaximized;
        normal = restored;
    } else {
        placement.showCmd = ShowNormal;
    }
    placement.left = normal.x();
    placement.top = normal.y();
    placement.right = normal.x() + normal.width();
    placement.bottom = normal.y() + normal.height();
    return placement;
}

}  // namespace velmorin
