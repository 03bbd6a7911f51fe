#include "app/zorvel_app.h"

int main(int argc, char** argv) {
    return CZorvelApp().Run(argc, argv);
}
