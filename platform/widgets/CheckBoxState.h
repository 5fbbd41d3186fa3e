#pragma once
// The three states of a check box: also those of each item of a check list box.
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
