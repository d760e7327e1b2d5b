#ifndef PELKO_STARTUP_H
#define PELKO_STARTUP_H

class QMainWindow;

// The program's identity: organization, name and version.
void setApplicationIdentity();

// Shows the window, then gives it its fixed title.
void showMainWindow(QMainWindow &window);

#endif // PELKO_STARTUP_H
