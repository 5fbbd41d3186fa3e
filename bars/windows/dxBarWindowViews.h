#pragma once
// The bar windows' side of the model's views (dxBarViews): the item controls of the links and
// the dock sites. A bar window and a dock site put it in place when they are made.
void RegisterdxBarViews();
