// Filling a tree view as the newsgroup manager does: 20,000 groups under folders, inserted with
// redraw off between WM_SETREDRAW FALSE and TRUE, then shown (goal: well under a second, widget
// included). Variants: every group under one folder (the widest parent), and sorted insertion.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "bench/support/GuiBenchSupport.h"
#include "platform/controls/Controls.h"
#include "platform/core/Application.h"
#include "platform/core/Paint.h"
#include "platform/core/Window.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr int kGroups = 20'000;

HTREEITEM Insert(HWND Tree, HTREEITEM Parent, const std::string& Text, HTREEITEM After,
                 UINT State = 0) {
    TVINSERTSTRUCT Item;
    Item.hParent = Parent;
    Item.hInsertAfter = After;
    Item.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    Item.item.pszText = const_cast<char*>(Text.c_str());
    Item.item.iImage = 0;
    Item.item.iSelectedImage = 1;
    Item.item.state = State;
    Item.item.stateMask = TVIS_STATEIMAGEMASK;
    return static_cast<HTREEITEM>(
        SendMessage(Tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Item)));
}

void Drain() {
    for (int I = 0; I < 1000 && Application.ProcessMessages(); ++I) {
    }
}

// Folders: Spread top folders with Spread subfolders each; groups spread over them.
void Fill(benchmark::State& State, int Spread, HTREEITEM After) {
    InitStandardControls();
    char Name[64];
    for (auto _ : State) {
        const HWND Form = GuiBench::MakeForm(500, 600, "Newsgroups bestellen");
        const HWND Tree =
            CreateWindowEx(WS_EX_CLIENTEDGE, "SysTreeView32", "",
                           WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_TRACKSELECT,
                           0, 0, 500, 560, Form, 1, 0, nullptr);
        SendMessage(Tree, TVM_SETINDENT, 19, 0);
        SendMessage(Tree, WM_SETREDRAW, FALSE, 0);
        const HTREEITEM Root = Insert(Tree, TVI_ROOT, "news.bl", TVI_LAST);
        HTREEITEM Folders[64][64] = {};
        for (int G = 0; G < kGroups; ++G) {
            const int Top = G % Spread;
            const int Sub = (G / Spread) % Spread;
            HTREEITEM& Folder = Folders[Top][Sub];
            if (!Folder) {
                std::snprintf(Name, sizeof Name, "de.t%02d.*", Top);
                HTREEITEM& Upper = Folders[Top][63];
                if (!Upper) Upper = Insert(Tree, Root, Name, After);
                std::snprintf(Name, sizeof Name, "de.t%02d.s%02d.*", Top, Sub);
                Folder = Insert(Tree, Upper, Name, After);
            }
            std::snprintf(Name, sizeof Name, "de.t%02d.s%02d.group%05d", Top, Sub, kGroups - G);
            Insert(Tree, Folder, Name, After, G % 3 ? 0 : INDEXTOSTATEIMAGEMASK(2));
        }
        SendMessage(Tree, TVM_EXPAND, TVE_EXPAND, static_cast<LPARAM>(Root));
        SendMessage(Tree, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(Tree, nullptr, TRUE);
        Drain();
        QCoreApplication::processEvents();
        State.PauseTiming();
        if (SendMessage(Tree, TVM_GETCOUNT, 0, 0) < kGroups) State.SkipWithError("items lost");
        DestroyWindow(Form);
        Drain();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * kGroups);
}

void BM_TreeFillFolders(benchmark::State& State) {
    Fill(State, 20, TVI_LAST);
}
void BM_TreeFillOneFolder(benchmark::State& State) {
    Fill(State, 1, TVI_LAST);
}
void BM_TreeFillFoldersSorted(benchmark::State& State) {
    Fill(State, 20, TVI_SORT);
}
void BM_TreeFillOneFolderSorted(benchmark::State& State) {
    Fill(State, 1, TVI_SORT);
}

BENCHMARK(BM_TreeFillFolders)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeFillOneFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeFillFoldersSorted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeFillOneFolderSorted)->Unit(benchmark::kMillisecond);

}  // namespace
