#include "app/ComMainForm.h"
#include "common/Application.h"

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    TApplication::SetTitle(QStringLiteral("Mirelda ver. 2.10 example"));
    TForm1 form;
    form.show();
    return application.exec();
}
