#ifndef PELKO_STARTUP_H
#define PELKO_STARTUP_H

class QMainWindow;

// The program's identity: organization, name and version.
void setApplicationIdentity();

// The form's pictures, for a window that will be shown: registered before
// the window is built, which shows them. A window never shown goes without
// (src/app/pictures.cpp: a program that does not call it links no picture).
void registerPictures();

// Shows the window, then gives it its fixed title.
void showMainWindow(QMainWindow &window);

#endif // PELKO_STARTUP_H
