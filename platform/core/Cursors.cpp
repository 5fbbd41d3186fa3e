// Cursors: the standard ones mapped to Qt's shapes, named ones registered by the program, and
// the cursor shown over our windows.
#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "platform/core/Host.h"
#include "platform/core/Input.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

struct TStandard {
    std::uintptr_t Id;
    Qt::CursorShape Shape;
};

constexpr TStandard kStandard[] = {
    {IDC_ARROW, Qt::ArrowCursor},        {IDC_IBEAM, Qt::IBeamCursor},
    {IDC_WAIT, Qt::WaitCursor},          {IDC_CROSS, Qt::CrossCursor},
    {IDC_UPARROW, Qt::UpArrowCursor},    {IDC_SIZE, Qt::SizeAllCursor},
    {IDC_ICON, Qt::ArrowCursor},         {IDC_SIZENWSE, Qt::SizeFDiagCursor},
    {IDC_SIZENESW, Qt::SizeBDiagCursor}, {IDC_SIZEWE, Qt::SizeHorCursor},
    {IDC_SIZENS, Qt::SizeVerCursor},     {IDC_SIZEALL, Qt::SizeAllCursor},
    {IDC_NO, Qt::ForbiddenCursor},       {IDC_HAND, Qt::PointingHandCursor},
    {IDC_APPSTARTING, Qt::BusyCursor},   {IDC_HELP, Qt::WhatsThisCursor},
};

struct TCursors {
    // Standard cursors: made once, as icons of the painting layer, and their Qt shapes.
    std::map<std::uintptr_t, HCURSOR> Standard;
    std::map<HCURSOR, Qt::CursorShape> Shapes;
    // Names are compared without regard to case.
    std::map<std::string, HCURSOR> Named;
    HCURSOR Current = 0;
};

TCursors& Cursors() {
    static auto* C = new TCursors;
    return *C;
}

std::string Folded(const char* Name) {
    std::string Out(Name);
    for (char& C : Out) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
    return Out;
}

HCURSOR MakeStandard(std::uintptr_t Id, Qt::CursorShape Shape) {
    TCursors& C = Cursors();
    auto It = C.Standard.find(Id);
    if (It != C.Standard.end()) return It->second;
    // A one-pixel picture: the shape comes from Qt; the handle is a real icon all the same.
    ICONINFO Info;
    Info.fIcon = FALSE;
    Info.hbmMask = CreateBitmap(1, 1, 1, 1, nullptr);
    Info.hbmColor = CreateBitmap(1, 1, 1, 32, nullptr);
    const HCURSOR Cursor = CreateIconIndirect(&Info);
    DeleteObject(Info.hbmMask);
    DeleteObject(Info.hbmColor);
    C.Standard.emplace(Id, Cursor);
    C.Shapes.emplace(Cursor, Shape);
    return Cursor;
}

QCursor QtCursorOf(HCURSOR Cursor) {
    if (Cursor == 0) return QCursor(Qt::BlankCursor);
    TCursors& C = Cursors();
    auto It = C.Shapes.find(Cursor);
    if (It != C.Shapes.end()) return QCursor(It->second);
    ICONINFO Info;
    const QImage Picture = IconImage(Cursor);
    if (Picture.isNull() || !GetIconInfo(Cursor, &Info)) return QCursor(Qt::ArrowCursor);
    if (Info.hbmMask) DeleteObject(Info.hbmMask);
    if (Info.hbmColor) DeleteObject(Info.hbmColor);
    return QCursor(QPixmap::fromImage(Picture), static_cast<int>(Info.xHotspot),
                   static_cast<int>(Info.yHotspot));
}

}  // namespace

HCURSOR LoadCursor(HINSTANCE, const char* Name) {
    const auto Value = reinterpret_cast<std::uintptr_t>(Name);
    if (Value == 0) return 0;
    if (Value < 0x10000) {
        for (const TStandard& S : kStandard)
            if (S.Id == Value) return MakeStandard(S.Id, S.Shape);
        return 0;
    }
    TCursors& C = Cursors();
    auto It = C.Named.find(Folded(Name));
    return It == C.Named.end() ? 0 : It->second;
}

void RegisterCursorResource(const std::string& Name, HCURSOR Cursor) {
    TCursors& C = Cursors();
    const std::string Key = Folded(Name.c_str());
    if (Cursor == 0)
        C.Named.erase(Key);
    else
        C.Named[Key] = Cursor;
}

HCURSOR SetCursor(HCURSOR Cursor) {
    TCursors& C = Cursors();
    const HCURSOR Old = C.Current;
    if (Old == Cursor) return Old;
    C.Current = Cursor;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return Old;
    const QCursor Shape = QtCursorOf(Cursor);
    for (const TWndPtr& W : AllWindows())
        if (W->Host && W->Host->isVisible()) W->Host->setCursor(Shape);
    return Old;
}

HCURSOR GetCursor() {
    return Cursors().Current;
}
