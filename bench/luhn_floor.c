/* The floor for zandor-check: a bare C Luhn filter over plain digit lines, writing the same
 * result lines. It knows nothing of blanks, separators or exponents. */
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(void) {
    char* line = NULL;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, stdin)) > 0) {
        if (line[length - 1] == '\n')
            line[--length] = '\0';
        const char* prefix = line[0] == '4'   ? "Visa"
                             : line[0] == '5' ? "MC"
                             : line[0] == '6' ? "Discover"
                             : line[0] == '3' ? "Amex"
                                              : "";
        const char* digits = line;
        while (*digits == '0')
            ++digits;
        const size_t n = (size_t)(line + length - digits);
        int sum = 0;
        for (size_t i = 0; i < n; ++i) {
            int d = digits[n - 1 - i] - '0';
            if (i % 2 == 1 && (d *= 2) > 9)
                d -= 9;
            sum += d;
        }
        fputs(prefix, stdout);
        fputs(n >= 13 && n <= 16 && sum % 10 == 0 ? "  True\n" : "  False\n", stdout);
    }
    free(line);
    return 0;
}
