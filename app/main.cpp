// The entry: record the arguments, create the window, run until it closes.
#include "../platform/Application.h"
#include "Form1.h"

int main(int argc, char** argv) {
    platform::Application application(argc, argv);
    Form1 form;
    form.window.Show();
    return application.Run();
}
