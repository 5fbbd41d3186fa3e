#pragma once
// The standard controls of the class library: edits and memos, push buttons, check boxes and
// radio buttons, group boxes and radio groups.
#include "platform/widgets/StdCtrlsButton.h"
#include "platform/widgets/StdCtrlsEdit.h"
#include "platform/widgets/StdCtrlsGroup.h"
#include "platform/widgets/StdCtrlsMemo.h"
