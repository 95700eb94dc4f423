#pragma once

namespace catalogue {

// What the grouped view groups by; the values are the positions of the view's choice box and
// the values of the "Sort By" setting.
enum class GroupBy { Category = 0, ObjectMakerSite = 1 };

} // namespace catalogue
