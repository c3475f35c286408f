#pragma once
// Written workbooks and documents open in the desktop's default application
// for their type; where the desktop has none, a message names the file.

void office_use_desktop_opener();
