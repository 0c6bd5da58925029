#pragma once

#include "app/PageSession.h"

class ConflictNotices;
class Environment;
class QWidget;

namespace OtherVersion {

// Tells the user, over window, of the version of a page someone else saved
// that a save kept beside it. A note page's other version can go to the
// clipboard, to be merged into the page by hand; passwords are never put
// there unasked. The copy is not told of again among the conflict copies.
void tell(Environment &environment, QWidget *window, const PageSession::OtherVersion &other, bool notePage,
          int languageIndex, ConflictNotices &notices);

} // namespace OtherVersion
