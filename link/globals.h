#pragma once

// The program's one global flag: true while the edited image holds changes that were neither
// saved nor sent since the last load, receive or save. Edit paths set it; a successful save and
// the main window's load, receive and save commands clear it.
extern bool dataModified;
