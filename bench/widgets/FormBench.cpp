// Speed of the class library on Qt's offscreen platform: making, showing and freeing a form of
// 100 controls of the kinds a dialog has (goal: under 20 ms) and placing 100 aligned controls
// again when their form changes size (goal: under 1 ms), and the same placing of 100 and 1,000
// widgets by Qt's box layouts beside it, so that both are measured under the same load.
#include <benchmark/benchmark.h>

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <iterator>
#include <memory>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/core/Application.h"
#include "platform/widgets/ComboBoxes.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/ListBoxes.h"
#include "platform/widgets/StdCtrls.h"

namespace {

void Drain() {
    for (int I = 0; I < 1000 && Application.ProcessMessages(); ++I) {
    }
}

// What a settings dialog holds, in groups of ten: a panel with three labels, two edits, a combo
// box, a check box, a button and a second check box or (every other group) a list box. Ten
// groups are 100 controls: 10 panels, 30 labels, 20 edits, 10 combo boxes, 15 check boxes,
// 5 list boxes and 10 buttons, all but the labels windows of their own, most of them wrapped Qt
// widgets.
enum class TKind { Panel, Label, Edit, Combo, Check, CheckOrList, Button };
constexpr TKind kGroup[] = {TKind::Panel,  TKind::Label,      TKind::Edit,  TKind::Label,
                            TKind::Edit,   TKind::Label,      TKind::Combo, TKind::Check,
                            TKind::Button, TKind::CheckOrList};
constexpr int kGroupSize = int(std::size(kGroup));

TControl* MakeControl(TKind Kind, int Group, TForm* Form) {
    const std::string N = std::to_string(Group);
    switch (Kind) {
        case TKind::Panel: {
            auto* P = new TPanel(Form);
            P->SetCaption("");
            return P;
        }
        case TKind::Label: {
            auto* L = new TLabel(Form);
            L->SetCaption("&Feld " + N + ":");
            return L;
        }
        case TKind::Edit: {
            auto* E = new TEdit(Form);
            E->SetText("pop.example.org");
            return E;
        }
        case TKind::Combo: {
            auto* C = new TComboBox(Form);
            for (const char* Item : {"CRC", "MD5", "MsgID"}) C->Items()->Add(Item);
            C->SetItemIndex(1);
            return C;
        }
        case TKind::CheckOrList:
            if (Group % 2 == 0) {
                auto* L = new TListBox(Form);
                for (int I = 0; I < 8; ++I) L->Items()->Add("de.comp.lang." + std::to_string(I));
                return L;
            }
            [[fallthrough]];
        case TKind::Check: {
            auto* C = new TCheckBox(Form);
            C->SetCaption("Pass&wort merken");
            return C;
        }
        case TKind::Button: {
            auto* B = new TButton(Form);
            B->SetCaption("&Testen");
            return B;
        }
    }
    return nullptr;
}

// Count controls in groups as above, each group on its panel, the panels in two columns.
TForm* MakeForm(int Count) {
    TForm* Form = CreateForm<TForm>(&Forms);
    Form->SetBounds(50, 50, 640, 480);
    TPanel* Holder = nullptr;
    for (int I = 0; I < Count; ++I) {
        const int Group = I / kGroupSize;
        const int Slot = I % kGroupSize;
        TControl* C = MakeControl(kGroup[Slot], Group, Form);
        if (Slot == 0) {
            Holder = static_cast<TPanel*>(C);
            Holder->SetParent(Form);
            Holder->SetBounds(10 + Group % 2 * 310, 10 + Group / 2 * 90, 300, 85);
            continue;
        }
        C->SetParent(Holder);
        // Four rows in each column inside the panel; the list box takes the third column.
        const int Row = (Slot - 1) % 4;
        const int Column = (Slot - 1) / 4;
        C->SetBounds(6 + Column * 100, 4 + Row * 20, 96,
                     kGroup[Slot] == TKind::CheckOrList && Group % 2 == 0 ? 58 : 19);
    }
    return Form;
}

// Qt's paint events (of wrapped widgets and hosts too), counted once before the measured loop.
class TPaintCount : public QObject {
  public:
    int Paints = 0;

  protected:
    bool eventFilter(QObject* Object, QEvent* Event) override {
        if (Event->type() == QEvent::Paint) ++Paints;
        return QObject::eventFilter(Object, Event);
    }
};

void BM_CreateShowFreeFormOf100Controls(benchmark::State& State) {
    {
        TPaintCount Count;
        QCoreApplication::instance()->installEventFilter(&Count);
        TForm* Form = MakeForm(100);
        Form->Show();
        Drain();
        QCoreApplication::instance()->removeEventFilter(&Count);
        Form->Free();
        Drain();
        State.counters["painted"] = Count.Paints;
    }
    for (auto _ : State) {
        TForm* Form = MakeForm(100);
        Form->Show();
        Drain();
        Form->Free();
        Drain();
    }
}
BENCHMARK(BM_CreateShowFreeFormOf100Controls)->Unit(benchmark::kMillisecond);

// The same controls as Qt widgets: a frame for the panel, labels, line edits, combo boxes, check
// boxes, list widgets and push buttons with the same texts, items and places.
QWidget* MakeQtWidget(TKind Kind, int Group, QWidget* Holder) {
    const QString N = QString::number(Group);
    switch (Kind) {
        case TKind::Panel: {
            auto* P = new QFrame(Holder);
            P->setFrameStyle(QFrame::Panel | QFrame::Raised);
            return P;
        }
        case TKind::Label:
            return new QLabel("&Feld " + N + ":", Holder);
        case TKind::Edit:
            return new QLineEdit("pop.example.org", Holder);
        case TKind::Combo: {
            auto* C = new QComboBox(Holder);
            C->addItems({"CRC", "MD5", "MsgID"});
            C->setCurrentIndex(1);
            return C;
        }
        case TKind::CheckOrList:
            if (Group % 2 == 0) {
                auto* L = new QListWidget(Holder);
                for (int I = 0; I < 8; ++I) L->addItem("de.comp.lang." + QString::number(I));
                return L;
            }
            [[fallthrough]];
        case TKind::Check:
            return new QCheckBox("Pass&wort merken", Holder);
        case TKind::Button:
            return new QPushButton("&Testen", Holder);
    }
    return nullptr;
}

QWidget* MakeQtForm(int Count) {
    auto* Form = new QWidget;
    Form->setGeometry(50, 50, 640, 480);
    QWidget* Holder = nullptr;
    for (int I = 0; I < Count; ++I) {
        const int Group = I / kGroupSize;
        const int Slot = I % kGroupSize;
        if (Slot == 0) {
            Holder = MakeQtWidget(kGroup[Slot], Group, Form);
            Holder->setGeometry(10 + Group % 2 * 310, 10 + Group / 2 * 90, 300, 85);
            continue;
        }
        QWidget* C = MakeQtWidget(kGroup[Slot], Group, Holder);
        const int Row = (Slot - 1) % 4;
        const int Column = (Slot - 1) / 4;
        C->setGeometry(6 + Column * 100, 4 + Row * 20, 96,
                       kGroup[Slot] == TKind::CheckOrList && Group % 2 == 0 ? 58 : 19);
    }
    return Form;
}

void QtShowAndPaint(QWidget* Form) {
    Form->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void BM_QtCreateShowFreeFormOf100Widgets(benchmark::State& State) {
    {
        TPaintCount Count;
        QCoreApplication::instance()->installEventFilter(&Count);
        QWidget* Form = MakeQtForm(100);
        QtShowAndPaint(Form);
        QCoreApplication::instance()->removeEventFilter(&Count);
        delete Form;
        QCoreApplication::processEvents();
        State.counters["painted"] = Count.Paints;
    }
    for (auto _ : State) {
        QWidget* Form = MakeQtForm(100);
        QtShowAndPaint(Form);
        delete Form;
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_QtCreateShowFreeFormOf100Widgets)->Unit(benchmark::kMillisecond);

constexpr TAlign kAligns[] = {alTop, alBottom, alLeft, alRight};
// Room for 1,000 panels of 3 pixels (500 side by side, 500 one above the other): Qt's layouts
// keep a window at least as large as what it holds, and would not place anything again.
constexpr int kWide = 1640;
constexpr int kWider = 1700;
constexpr int kHigh = 1800;

// Count panels aligned top, bottom, left and right in turn, the last one the client; each
// iteration changes the form's width, which aligns all of them again.
void BM_RelayoutAlignedControls(benchmark::State& State) {
    const int Count = int(State.range(0));
    TForm* Form = CreateForm<TForm>(&Forms);
    Form->SetBounds(50, 50, kWide, kHigh);
    for (int I = 0; I < Count; ++I) {
        auto* P = new TPanel(Form);
        P->SetParent(Form);
        P->SetAlign(I == Count - 1 ? alClient : kAligns[I % 4]);
        P->SetBounds(0, 0, 3, 3);
    }
    Form->Show();
    Drain();
    int Width = kWide;
    for (auto _ : State) {
        Width = Width == kWide ? kWider : kWide;
        Form->SetBounds(50, 50, Width, kHigh);
    }
    State.SetComplexityN(Count);
    Form->Free();
    Drain();
}
BENCHMARK(BM_RelayoutAlignedControls)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The same with Qt's box layouts: each aligned widget wraps what is left of the area in a
// vertical (top, bottom) or horizontal (left, right) box, the way alignment takes its side of
// the remaining client area.
void BM_QtRelayoutBoxedWidgets(benchmark::State& State) {
    const int Count = int(State.range(0));
    QWidget Top;
    Top.setGeometry(50, 50, kWide, kHigh);
    QBoxLayout* Layout = nullptr;
    int InnerAt = 0;  // where the rest of the area goes in Layout
    for (int I = 0; I < Count; ++I) {
        const TAlign Align = I == Count - 1 ? alClient : kAligns[I % 4];
        auto* W = new QWidget;
        if (Align == alClient) {
            Layout->insertWidget(InnerAt, W, 1);
            break;
        }
        const bool Vertical = Align == alTop || Align == alBottom;
        auto* Box = new QBoxLayout(Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
        Box->setContentsMargins(0, 0, 0, 0);
        Box->setSpacing(0);
        if (Layout)
            Layout->insertLayout(InnerAt, Box, 1);
        else
            Top.setLayout(Box);
        if (Vertical)
            W->setFixedHeight(3);
        else
            W->setFixedWidth(3);
        Box->addWidget(W, 0);
        InnerAt = Align == alTop || Align == alLeft ? 1 : 0;
        Layout = Box;
    }
    Top.show();
    QCoreApplication::processEvents();
    int Width = kWide;
    for (auto _ : State) {
        Width = Width == kWide ? kWider : kWide;
        Top.resize(Width, kHigh);
    }
    State.SetComplexityN(Count);
}
BENCHMARK(BM_QtRelayoutBoxedWidgets)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> App = TApplication::InitializeQt(argc, argv, true);
    Forms.Initialize();
    InitStandardControls();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    while (Screen->FormCount() > 0) Screen->Forms(0)->Free();
    return 0;
}
