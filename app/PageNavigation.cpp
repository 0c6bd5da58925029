#include "app/PageNavigation.h"

#include "settings/WindowSettings.h"

namespace {
constexpr int kLastPage = WindowSettings::PageCount - 1;
}

int pageAfter(PageStep step, int page)
{
    switch (step) {
    case PageStep::First:
        return 0;
    case PageStep::Back:
        return page <= 0 ? kLastPage : page - 1;
    case PageStep::Forward:
        return page >= kLastPage ? 0 : page + 1;
    case PageStep::Last:
        break;
    }
    return kLastPage;
}
