#pragma once
// The class names of the windows, written down once: each window's objectName,
// the window catalogue's keys, the names --open takes and the toolbar opens.
namespace WindowClass {
inline constexpr char kMain[] = "frmMain";
inline constexpr char kSplash[] = "frmSplash";
inline constexpr char kRegMap[] = "frmRegMap";
inline constexpr char kGraph[] = "frmGraph";
inline constexpr char kLimits[] = "frmLimits";
inline constexpr char kConfig[] = "frmConfig";
inline constexpr char kLogging[] = "frmLogging";
inline constexpr char kSave[] = "frmSave";
inline constexpr char kSWOptions[] = "frmSWOptions";
inline constexpr char kAbout[] = "frmAbout";
inline constexpr char kRegOverview[] = "frmRegOverview";
} // namespace WindowClass
