#pragma once
// The pictures of the windows' image lists, drawn in the source.
#include <QImage>

class TCustomImageList;

// The chooser's two pictures: 0 a client box, 1 any other box; at the list's size.
void AddBoxPictures(TCustomImageList& List);
// The newsgroup tree: 0 group, 1 group selected, 2 folder, 3 folder open.
void AddGroupTreePictures(TCustomImageList& List);
// The tree's state pictures: 0 none (never shown), 1 none, 2 subscribed (a check mark).
void AddSubscriptionPictures(TCustomImageList& List);
// The wizard's picture: the point's computer, large, on Background.
QImage WizardPicture(QRgb Background);
