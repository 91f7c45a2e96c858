#pragma once
// The windows were drawn for an 800-pixel-wide screen; on any other width they
// scale their geometry and fonts by width / 800 once, when they are created.

namespace vapora {

// 1 on an 800-pixel screen (or when there is no screen), else width / 800.
double ScreenScale();

} // namespace vapora
