#include "browser/forms/PageButtons.h"

namespace browser {

PageButtonStates ButtonStatesForPage(int page) {
    PageButtonStates states;
    states.hosts = page == 0;
    states.print = page <= 2;
    states.save = page <= 2 || page == 6 || page == 7;
    states.selectAll = page == 3 || page == 4 || page == 6;
    states.deleteDhcp = page == 2;
    states.collect = page <= 5;
    return states;
}

} // namespace browser
