// Every Qt Widgets header includes this one first. It stands on the include path of the core
// libraries only, so a widget reaching the core stops the build here.
#error "The core libraries use Qt Core only: widgets belong to src/app or src/dialogs."
