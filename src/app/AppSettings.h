#pragma once
// The user's settings: read once at start-up, written once at exit, in the
// store of organisation "Vadri", application "velmorin", with the groups
// "Settings" and "WinPos", whose values are all integers, and our own groups
// "Ports" (the device each of Com1..Com4 opens) and "Vista" (the diagram's zoom).
#include <QString>
#include <QStringList>

#include <array>
#include <string>

class QRect;
class QSettings;
class QWidget;

namespace velmorin {

inline constexpr const char* SettingsOrganisation = "Vadri";
inline constexpr const char* SettingsApplication = "velmorin";

struct AppSettings {
    int commPort = 1;  // 0..3 for COM1..COM4
    int plcId = 1;     // controller identifier; a stored 0 reads as 1
    int setRunMode = 1071;
    int setStopMode = 0;
    int setIdAll = 1;
    int plcSelOnProg = 1;
    // "Ports"/"Com1".."Com4": a device path, or "" for the Com's default /dev/ttySn.
    std::array<std::string, 4> portDevices;
    // "Vista"/"Zoom": the diagram's scale in percent, as the view last showed it.
    int zoomPercent = 100;
};

// Show commands of the placement record.
enum ShowCommand : int {
    ShowNormal = 1,
    ShowMinimized = 2,
    ShowMaximized = 3,
    ShowDefault = 5,
    ShowMinimize = 6,
    ShowMinimizedInactive = 7,
};

// The main window's placement; the rectangle is the normal (restored)
// geometry, right and bottom exclusive.
struct WindowPlacement {
    int showCmd = ShowDefault;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 670, bottom = 400;

    bool operator==(const WindowPlacement&) const = default;
};

AppSettings ReadAppSettings(QSettings& store);
WindowPlacement ReadWindowPlacement(QSettings& store);
QStringList ReadRecentFiles(QSettings& store);

// The exit write: "CommPort", "PlcId", the nine "WinPos" values, then the
// four command-panel and transfer options, the port devices and the recent files.
void WriteAppSettings(QSettings& store, const AppSettings& settings, const WindowPlacement& placement,
                      const QStringList& recentFiles);

// The normal rectangle: the corner is where the window frame goes, the size
// is the window's own (the frame is the window system's business).
QRect PlacementRect(const WindowPlacement& placement);
// Places the window on its normal rectangle and shows it as the show command says.
void ApplyWindowPlacement(QWidget& window, const WindowPlacement& placement);
// The window's current placement. A maximized or minimized window reports
// `restored`, the normal rectangle it had last; the minimized and maximized
// positions, which the window system decides, are carried over from `previous`.
WindowPlacement CaptureWindowPlacement(const QWidget& window, const QRect& restored,
                                       const WindowPlacement& previous);

}  // namespace velmorin
