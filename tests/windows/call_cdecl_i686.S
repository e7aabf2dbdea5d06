/*
 * QuorvelCallCdecl(function, arguments, count, stackDelta): calls `function`
 * with `count` 32-bit arguments the way a __cdecl caller does, and stores in
 * *stackDelta how far the stack pointer moved across the call and the
 * caller's own cleanup: 0 for a __cdecl callee, 4 * count for one that pops
 * its arguments. The stack pointer is put back either way.
 */
    .text
    .globl  _QuorvelCallCdecl
    .def    _QuorvelCallCdecl; .scl 2; .type 32; .endef
_QuorvelCallCdecl:
    pushl   %ebp
    movl    %esp, %ebp
    pushl   %ebx
    pushl   %esi
    pushl   %edi
    movl    12(%ebp), %esi          /* arguments */
    movl    16(%ebp), %ecx          /* count */
    movl    %esp, %edi              /* the stack pointer before the arguments */
1:  testl   %ecx, %ecx              /* push them right to left */
    jz      2f
    decl    %ecx
    pushl   (%esi,%ecx,4)
    jmp     1b
2:  call    *8(%ebp)
    movl    16(%ebp), %ecx
    leal    (%esp,%ecx,4), %edx     /* after the caller's cleanup */
    subl    %edi, %edx
    movl    20(%ebp), %ecx
    movl    %edx, (%ecx)
    movl    %edi, %esp
    popl    %edi
    popl    %esi
    popl    %ebx
    popl    %ebp
    ret
