// Every Qt GUI header includes this one first. It stands on the include path of the core
// libraries only, so a GUI class reaching the core stops the build here.
#error "The core libraries use Qt Core only: GUI classes belong to src/app or src/dialogs."
