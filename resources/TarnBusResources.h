#pragma once

// The compiled-in images of the tester: icons, status lamps and the application icon,
// served as ":/image/<name>" (the names are listed in icons/icons.list).
//
// Link tarnbus_resources and call initTarnBusResources() once after creating the
// application object and before anything loads an image:
//
//     QApplication app(argc, argv);
//     initTarnBusResources();
//     app.setWindowIcon(QIcon(QStringLiteral(":/image/app.svg")));
//
// The images live in a static library; without this call the linker leaves their
// registration out and every ":/image/..." path loads nothing. Calling it again does
// nothing.
void initTarnBusResources();
