#pragma once

// What TKV-05 sets on its application object before it makes its window: the widget style, the
// dialog font the forms are drawn for, and the program's name "TKV-05", which window managers show
// for every window that sets no title of its own (the message boxes, the language dialog) in place
// of the program file's name.
void prepareApplication();
