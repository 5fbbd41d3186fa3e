#pragma once
// The bar windows' side of the model's views (dxBarViews): the item controls of the links, the
// bar windows, the dock sites, the popup menus and the hooks the managers join. The framework's
// start-up puts it in place, and so do a bar window and a dock site when they are made.
void RegisterdxBarViews();
