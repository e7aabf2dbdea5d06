/* A C host that loads Quorvel.dll at run time: no import library, and a clear
 * message when the module or one of its functions is missing.
 *
 *     quorvel_loader_example [ID | MESSAGE:TOKEN | box:ID]...
 *
 * ID prints the catalogue text of ID (DllGetString), MESSAGE:TOKEN the
 * message with the token expanded from the registry (DllGetDynamicString),
 * box:ID shows the text of ID in a message box (DllMessageBox). Without
 * arguments: 2 9 9:1002. Texts are printed as the module gives them, in the
 * system's ANSI code page. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <quorvel_loader.h>

static QuorvelFunctions quorvel;

/* Size first, then the text; asks again if the text grew in between.
 * Returns a malloc'd text and its size as the module answered it, or NULL. */
static char* FetchText(unsigned int id, unsigned int token, int dynamic, QuorvelSize* answeredSize)
{
    int attempt;
    for (attempt = 0; attempt < 3; ++attempt) {
        QuorvelSize size = dynamic ? quorvel.DllGetDynamicString(id, NULL, 0, token)
                                   : quorvel.DllGetString(id, NULL, 0);
        QuorvelSize again;
        char* text;
        if (size == 0) /* the module ran out of memory */
            return NULL;
        text = (char*)malloc(size);
        if (text == NULL)
            return NULL;
        again = dynamic ? quorvel.DllGetDynamicString(id, text, size, token) : quorvel.DllGetString(id, text, size);
        if (again == 0) { /* out of memory this time: nothing copied */
            free(text);
            return NULL;
        }
        if (again <= size) {
            *answeredSize = again;
            return text;
        }
        free(text); /* it grew: nothing was copied */
    }
    return NULL;
}

static int Show(const char* argument)
{
    unsigned int id = 0, token = 0;
    int dynamic = 0;
    char* text;
    QuorvelSize size = 0;

    if (sscanf(argument, "box:%u", &id) == 1) {
        quorvel.DllMessageBox(id);
        printf("DllMessageBox(%u) dismissed\n", id);
        return 0;
    }
    if (sscanf(argument, "%u:%u", &id, &token) == 2)
        dynamic = 1;
    else if (sscanf(argument, "%u", &id) != 1) {
        fprintf(stderr, "not an ID or MESSAGE:TOKEN: %s\n", argument);
        return 2;
    }
    text = FetchText(id, token, dynamic, &size);
    if (text == NULL) {
        fprintf(stderr, "no answer for %s: out of memory\n", argument);
        return 1;
    }
    if (dynamic)
        printf("DllGetDynamicString(%u, %u) = \"%s\" (size %lu)\n", id, token, text, (unsigned long)size);
    else
        printf("DllGetString(%u) = \"%s\" (size %lu)\n", id, text, (unsigned long)size);
    free(text);
    return 0;
}

int main(int argc, char** argv)
{
    static const char* const defaults[] = {"2", "9", "9:1002"};
    HMODULE module = LoadLibraryA("Quorvel.dll");
    const char* missing = QuorvelResolve(module, &quorvel);
    int i, status = 0;

    if (missing != NULL) {
        fprintf(stderr, "cannot use Quorvel.dll: %s is missing\n", missing);
        return 3;
    }
    if (argc > 1) {
        for (i = 1; i < argc; ++i)
            status |= Show(argv[i]);
    } else {
        for (i = 0; i < 3; ++i)
            status |= Show(defaults[i]);
    }
    FreeLibrary(module);
    return status;
}
