// plotdxf: converts tempdxf.txt in the program's folder into the DXF drawing
// named by the command line (temp.dxf when it is empty).
//
// Exit status: 0 converted; 1 the interpreter reported an error (the drawing
// built so far was written); 2 the drawing could not be written; 3 an
// uncaught run-time error ended the run before the drawing was written.
#include "driver/batch_run.h"

int main(int argc, char** argv) {
    driver::RunBatchConversion(argc, argv);
}
