#pragma once
// Numbers of the messages that the project-list dialogs use beyond their
// own fixed ones; the main window shares them.

// The catalogue of project lists cannot be written (%1 its path, %2 why).
constexpr int MSG_CATALOGUE_WRITE = 441;
// A file of the name a new project list would take exists (%1 its path):
// replace it? (the main window asks the same; No is the default).
constexpr int MSG_REPLACE_LIST_FILE = 438;
