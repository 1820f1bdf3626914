// The program's entry: the one class-library application object, built before main runs, and
// the entry routine that drives it with the user's locale.
#include "Application.h"
#include "Application/MFCFrameworkApp.h"

namespace {

SV::MFCFrameworkApp<LApplication> sClassLibraryApp;

} // namespace

int main(int argc, char** argv)
{
    return sClassLibraryApp.FrameworkWinMain(argc, argv, -1);
}
