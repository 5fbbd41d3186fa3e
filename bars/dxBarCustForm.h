#pragma once
// The "Customize" dialog of a bar manager: one at a time in the process. While it is open the
// manager customizes and every form that owns a manager is disabled. The entry points below are
// what the manager, bars and items call; each does nothing while no dialog is open.
class TdxBar;
class TdxBarItem;
class TdxBarManager;
class TdxBarCustomizingForm;

// Opens (Show) or closes the dialog for a manager.
void ShowCustomizingForm(TdxBarManager* Manager, bool Show);
TdxBarCustomizingForm* GetCustomizingForm();
