#include "app/AppSettings.h"

#include <QRect>
#include <QSettings>
#include <QWidget>

#include <span>

namespace velmorin {

namespace {

constexpr const char* RecentGroup = "Recent File List";
constexpr const char* PortsGroup = "Ports";
constexpr const char* ViewGroup = "Vista";
constexpr const char* ZoomKey = "Zoom";

QString PortKey(size_t port) { return QStringLiteral("Com%1").arg(port + 1); }

int ReadInt(QSettings& store, const char* key, int fallback) {
    bool ok = false;
    const int value = store.value(QString::fromLatin1(key), fallback).toInt(&ok);
    return ok ? value : fallback;
}

void WriteInt(QSettings& store, const char* key, int value) {
    store.setValue(QString::fromLatin1(key), value);
}

// Each key is named once, for both the read at start-up and the write at exit.
template <typename Record>
struct IntKey {
    const char* key;
    int Record::*member;
};

constexpr IntKey<AppSettings> SettingsKeys[] = {
    {"CommPort", &AppSettings::commPort},     {"PlcId", &AppSettings::plcId},
    {"setRunMode", &AppSettings::setRunMode}, {"setStopMode", &AppSettings::setStopMode},
    {"setIdAll", &AppSettings::setIdAll},     {"PlcSelOnProg", &AppSettings::plcSelOnProg},
};
// The exit writes these two before the window placement, the rest after it.
constexpr size_t SettingsWrittenFirst = 2;

constexpr IntKey<WindowPlacement> PlacementKeys[] = {
    {"ptMaxPosition_x", &WindowPlacement::maxX},
    {"ptMaxPosition_y", &WindowPlacement::maxY},
    {"ptMinPosition_x", &WindowPlacement::minX},
    {"ptMinPosition_y", &WindowPlacement::minY},
    {"showCmd", &WindowPlacement::showCmd},
    {"rcNormalPosition_bottom", &WindowPlacement::bottom},
    {"rcNormalPosition_top", &WindowPlacement::top},
    {"rcNormalPosition_left", &WindowPlacement::left},
    {"rcNormalPosition_right", &WindowPlacement::right},
};

// Missing or unreadable values keep the record's defaults.
template <typename Record>
Record ReadGroup(QSettings& store, const char* group, std::span<const IntKey<Record>> keys) {
    const Record defaults;
    Record record;
    store.beginGroup(QString::fromLatin1(group));
    for (const IntKey<Record>& key : keys) record.*key.member = ReadInt(store, key.key, defaults.*key.member);
    store.endGroup();
    return record;
}

template <typename Record>
void WriteGroup(QSettings& store, const char* group, std::span<const IntKey<Record>> keys, const Record& record) {
    store.beginGroup(QString::fromLatin1(group));
    for (const IntKey<Record>& key : keys) WriteInt(store, key.key, record.*key.member);
    store.endGroup();
}

}  // namespace

AppSettings ReadAppSettings(QSettings& store) {
    AppSettings settings = ReadGroup<AppSettings>(store, "Settings", SettingsKeys);
    if (settings.plcId == 0) settings.plcId = 1;
    store.beginGroup(PortsGroup);
    for (size_t port = 0; port < settings.portDevices.size(); ++port)
        settings.portDevices[port] = store.value(PortKey(port)).toString().trimmed().toStdString();
    store.endGroup();
    store.beginGroup(ViewGroup);
    // Any number is taken; the view keeps it within its range.
    settings.zoomPercent = ReadInt(store, ZoomKey, settings.zoomPercent);
    store.endGroup();
    return settings;
}

WindowPlacement ReadWindowPlacement(QSettings& store) {
    return ReadGroup<WindowPlacement>(store, "WinPos", PlacementKeys);
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
    AppSettings written = settings;
    if (written.plcId == 0) written.plcId = 1;
    const std::span<const IntKey<AppSettings>> settingsKeys(SettingsKeys);
    WriteGroup(store, "Settings", settingsKeys.first(SettingsWrittenFirst), written);
    WriteGroup<WindowPlacement>(store, "WinPos", PlacementKeys, placement);
    WriteGroup(store, "Settings", settingsKeys.subspan(SettingsWrittenFirst), written);

    // A Com left at its default has no key, so that it follows the default.
    store.beginGroup(PortsGroup);
    for (size_t port = 0; port < settings.portDevices.size(); ++port) {
        if (settings.portDevices[port].empty())
            store.remove(PortKey(port));
        else
            store.setValue(PortKey(port), QString::fromStdString(settings.portDevices[port]));
    }
    store.endGroup();

    store.beginGroup(ViewGroup);
    WriteInt(store, ZoomKey, settings.zoomPercent);
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
