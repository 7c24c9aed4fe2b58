#include "app/quillon_app.h"

int main(int argc, char** argv)
{
    CQuillonApp app(argc, argv);
    app.InitInstance();
    return 0;
}
