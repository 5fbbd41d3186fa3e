#pragma once
// What reading a stored bar layout must leave the bars with, found by the target alone: a reader
// of its own for each store's file (an INI file, a registry hive file) and the layout's rules for
// a bar's plain values, applied to the bars as they were before the reading. The framework's
// reader of layouts is not used; nor are its INI file and registry classes.
//
// The rules, in the order the values are stored and read:
//   - the layout's manager values: "BarCount", a number of 0 or more, says that bars were stored;
//     without it no bar changes. With it every bar is hidden first, and bars 0 to
//     min(BarCount, kMaxStoredBars) - 1 are read where stored; a bar index beyond the bars adds
//     bars up to it (new ones, hidden).
//   - a bar counts as stored when its key exists (registry) or its "Row" is a number above
//     -1000 (INI file).
//   - a bar's values, in stored order (kBarFields): a number outside its range (Limits.h), and in
//     the registry a number or text that is missing or of another type (a missing text reads as
//     empty), breaks the bar's reading off: the values before it stay set, the rest keep what
//     the bar had, and the bar is shown. In an INI file a missing value or one that is not a
//     number keeps what the bar had, except "Visible", which then reads as hidden.
//   - a caption that another bar has at that moment is not taken (captions stay unique); a
//     negative docked position stores 0; dock sites named by the layout are none here (the
//     form holds none), so the styles are the stored ones.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace BarLayoutModel {

// A bar's plain values: what a layout sets and the target compares. Flags are 0 or 1.
struct TBar {
    std::string Caption;
    int DockedDockingStyle = 0;
    int DockedLeft = 0;
    int DockedTop = 0;
    int OneOnRow = 0;
    int Row = 0;
    int FloatLeft = 0;
    int FloatTop = 0;
    int FloatClientWidth = 0;
    int FloatClientHeight = 0;
    int DockingStyle = 0;
    int Visible = 0;
    // Not a value of the bar: the value whose reading broke off (empty: none did, or the bar was
    // not read), to name in a report.
    std::string BrokeOffAt;
};

// How a value is read and what it may be.
enum class TKind {
    Caption,         // text
    Site,            // a dock site's name: none here, whatever it says
    Style,           // a docking style's ordinal, 0 (floating) to 4
    DockedPosition,  // a position on the screen; a negative one stores 0
    Position,        // a position on the screen
    Size,            // a width or height on the screen
    Row,             // a dock site's row
    Flag,            // a number, true when not 0
    Shown            // "Visible": a flag; missing in an INI file: hidden
};

struct TField {
    const char* Name;
    TKind Kind;
    int TBar::*Value;  // none for the caption and the sites
};

// The values of a bar in their stored order.
inline constexpr TField kBarFields[] = {
    {"Caption", TKind::Caption, nullptr},
    {"DockedDockControl", TKind::Site, nullptr},
    {"DockedDockingStyle", TKind::Style, &TBar::DockedDockingStyle},
    {"DockedLeft", TKind::DockedPosition, &TBar::DockedLeft},
    {"DockedTop", TKind::DockedPosition, &TBar::DockedTop},
    {"OneOnRow", TKind::Flag, &TBar::OneOnRow},
    {"Row", TKind::Row, &TBar::Row},
    {"FloatLeft", TKind::Position, &TBar::FloatLeft},
    {"FloatTop", TKind::Position, &TBar::FloatTop},
    {"FloatClientWidth", TKind::Size, &TBar::FloatClientWidth},
    {"FloatClientHeight", TKind::Size, &TBar::FloatClientHeight},
    {"DockControl", TKind::Site, nullptr},
    {"DockingStyle", TKind::Style, &TBar::DockingStyle},
    {"Visible", TKind::Shown, &TBar::Visible},
};

// One value of a store as its file gives it.
struct TStored {
    bool Exists = false;
    std::optional<int32_t> Number;    // a DWORD; in an INI file, a text that reads as a number
    std::optional<std::string> Text;  // a string; in an INI file, every value
};

// The keys or sections of a store's file with their values. Names compare ignoring ASCII case.
class TStore {
  public:
    virtual ~TStore() = default;
    // Whether the key (a path from the hive's root, "\"-separated) or the section exists.
    virtual bool Has(const std::string& Place) const = 0;
    virtual TStored Value(const std::string& Place, const std::string& Name) const = 0;
    // Whether missing values break a bar's reading off (the registry) or read as defaults.
    virtual bool Registry() const = 0;
};

// An INI file's bytes: lines end at CR LF, CR or LF; a line holding a NUL and all after it are
// not read; lines are trimmed of bytes up to the blank; ";" starts a comment, "[Name]" a section
// (a "[" line without the "]" starts none); "Key=Value" with the key trimmed and the value every
// byte after the first "=". A key reads the first value it has in the sections of its name, in
// file order. A number is decimal with an optional sign, or "$" or "0x" and up to eight
// hexadecimal digits (a 32-bit pattern), blanks around it; one outside 32 bits is none.
std::unique_ptr<TStore> ReadIniFile(const std::string& Bytes);

// A hive file's bytes: lines end at LF (a CR before it dropped); ";" starts a comment; "[Path]"
// opens a key (components percent-encoded, made with its parents; a damaged one opens none);
// '"Name"=' then dword:XXXXXXXX, hex:.., expand:"..." or "..." sets a value of the open key
// (quoted texts escape \\, \" and \xHH), a later line of the same name holding; a damaged line
// sets nothing.
std::unique_ptr<TStore> ReadHiveFile(const std::string& Bytes);

// Where the layout lies in its store: the manager's key or section and the bars' prefix (the
// bar's index follows it).
struct TPlace {
    std::string Main;
    std::string BarPrefix;
};
TPlace RegistryPlace(const std::string& Path);
TPlace IniPlace(const std::string& FormName, const std::string& ManagerName);

// The bars after reading the layout at Place in Store into bars that were Start; a bar the
// reading adds starts as NewBar.
std::vector<TBar> Expected(const TStore& Store, const TPlace& Place, std::vector<TBar> Start,
                           const TBar& NewBar);

}  // namespace BarLayoutModel
