#pragma once

class QWidget;

namespace rolvik {

// What Save does with edits that no compile has taken in yet.
enum class CompileBeforeSave { Compile, SaveAsItIs, Cancel };

// Asks, in a modal box owned by the main window, whether Save compiles the edits first: Yes, the
// default, compiles; No saves the file image as it is; Cancel (and Escape) saves nothing.
CompileBeforeSave AskCompileBeforeSave(QWidget* owner);

}  // namespace rolvik
