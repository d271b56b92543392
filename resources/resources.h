#pragma once

namespace quillon::resources {

// Makes Quillon's compiled-in pictures and files available under ":/" (":/buttonimages/Add.tif",
// ":/labels/red.png", ":/icons/quillon.svg"). Resources in a static library
// are registered only once something calls this; it is cheap and may be called any number of
// times. Any thread, though the first call should come from the main thread before others start.
void init();

} // namespace quillon::resources
