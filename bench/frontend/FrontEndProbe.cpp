// The front end's own start, as main.cpp does it, up to its first shown window.
#include "../../app/Form1.h"
#include "../../platform/Application.h"
#include "Shown.h"

int main(int argc, char** argv) {
    platform::Application application(argc, argv);
    Form1 form;
    form.window.Show();
    return bench::ReportWhenShown();
}
