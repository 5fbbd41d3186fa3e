#pragma once
// The one entry point through which bar windows and the manager start, switch and hide the hint
// of the selected item: Show with an empty Text takes the selected control's hint.
#include <string>

class TdxBarManager;

void UpdateHint(TdxBarManager* Manager, bool Show, const std::string& Text = {});
// The explicit text of the hint asked for last (empty: the selected control's hint).
const std::string& HintText();
