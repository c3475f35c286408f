#pragma once
// Workbooks and documents go where the user chooses (the chooser opens in
// the folder the last one went to, at first the documents folder); once
// written, the user may open one in the desktop's default application for
// its type, and is told when none can be started.

void office_use_desktop_opener();
