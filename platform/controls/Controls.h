#pragma once
// The standard control classes. A program (and every test that makes controls) calls
// InitStandardControls once, after its application object exists, before it creates controls.
#include "platform/controls/Button.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Static.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TabControl.h"
#include "platform/controls/TreeView.h"
#include "platform/controls/UpDown.h"

void InitStandardControls();
