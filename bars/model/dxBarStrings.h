#pragma once
// The framework's own texts, by their numbers.
#include <string>

// The customizing popup's eight entries, 39150 + the entry's index.
inline constexpr int kdxBarCustomizingPopupFirst = 39150;
inline constexpr int kdxBarResetBarQuestion = 39001;
inline constexpr int kdxBarResetUsageDataQuestion = 39002;
inline constexpr int kdxBarCustomizeCaption = 39300;
inline constexpr int kdxBarAddRemoveButtons = 39301;
inline constexpr int kdxBarMoreButtons = 39302;
inline constexpr int kdxBarResetToolbar = 39303;
inline constexpr int kdxBarExpandMenu = 39304;
inline constexpr int kdxBarDetachMenu = 39305;
inline constexpr int kdxBarNoManagers = 39005;
// The customizing dialog and its name dialog.
inline constexpr int kdxBarDeleteToolbarQuestion = 39006;
inline constexpr int kdxBarBlankName = 39010;
inline constexpr int kdxBarToolbarExists = 39011;
inline constexpr int kdxBarOK = 39210;
inline constexpr int kdxBarCancel = 39211;
inline constexpr int kdxBarTabToolbars = 39219;
inline constexpr int kdxBarTabCommands = 39220;
inline constexpr int kdxBarTabOptions = 39221;
inline constexpr int kdxBarToolbarsLabel = 39222;
inline constexpr int kdxBarNewToolbar = 39223;
inline constexpr int kdxBarRenameToolbar = 39224;
inline constexpr int kdxBarDeleteToolbar = 39225;
inline constexpr int kdxBarResetBar = 39226;
inline constexpr int kdxBarClose = 39227;
inline constexpr int kdxBarCustomizeFormCaption = 39228;
inline constexpr int kdxBarCategoriesLabel = 39229;
inline constexpr int kdxBarCommandsLabel = 39230;
inline constexpr int kdxBarDescriptionLabel = 39231;
inline constexpr int kdxBarAddCategoryCaption = 39314;
inline constexpr int kdxBarInsertCategoryCaption = 39315;
inline constexpr int kdxBarRenameCategoryCaption = 39316;
inline constexpr int kdxBarNewToolbarCaption = 39317;
inline constexpr int kdxBarRenameToolbarCaption = 39318;
inline constexpr int kdxBarCategoryNameLabel = 39324;
inline constexpr int kdxBarToolbarNameLabel = 39325;
// The customizing dialog's designer parts: the category and command popups, their questions and
// the sub-menu editor.
inline constexpr int kdxBarDeleteCategoryQuestion = 39007;
inline constexpr int kdxBarClearCommandsQuestion = 39008;
inline constexpr int kdxBarAdd = 39202;
inline constexpr int kdxBarRename = 39206;
inline constexpr int kdxBarDelete = 39207;
inline constexpr int kdxBarClear = 39208;
inline constexpr int kdxBarVisible = 39209;
inline constexpr int kdxBarSubMenuEditorEntry = 39213;
inline constexpr int kdxBarSubMenuEditorCaption = 39214;
inline constexpr int kdxBarInsert = 39215;
inline constexpr int kdxBarMoveUp = 39216;
inline constexpr int kdxBarMoveDown = 39217;
inline constexpr int kdxBarModify = 39336;
inline constexpr int kdxBarPersonalizedMenus = 39340;
inline constexpr int kdxBarRecentItemsFirst = 39341;
inline constexpr int kdxBarFullMenusAfterDelay = 39342;
inline constexpr int kdxBarResetUsageData = 39343;
inline constexpr int kdxBarOtherOptions = 39344;
inline constexpr int kdxBarLargeIcons = 39345;
inline constexpr int kdxBarShowHint = 39346;
inline constexpr int kdxBarShowShortCutInHint = 39347;
inline constexpr int kdxBarMenuAnimationsLabel = 39348;
// The menu animations, in the order of TdxBarMenuAnimations.
inline constexpr int kdxBarAnimationNone = 39349;
inline constexpr int kdxBarAnimationRandom = 39350;
inline constexpr int kdxBarAnimationUnfold = 39351;
inline constexpr int kdxBarAnimationSlide = 39352;

// The text of that number; empty for a number the framework does not know.
std::string dxBarString(int Id);
