#!/usr/bin/python3
"""Tests of the host developers' kit as a host developer gets it: the release
archive, unpacked, then used by programs built apart from the module; and of
the release itself: reproducible, and signed.

    kit_test.py stage     --build DIR --archive NAME --work DIR --kit DIR
    kit_test.py layout    --kit DIR --arch ARCH --module DLL --def SERVICES_DEF
    kit_test.py headers   --kit DIR --compiler CC --language c|c++ --work DIR
    kit_test.py msvc      --kit DIR --arch ARCH --clang CLANG --lld-link LLD_LINK --kernel32 LIB --work DIR
                          [--run RUNNER...]
    kit_test.py examples  --kit DIR --arch ARCH --toolchain FILE --source DIR --work DIR [--makensis MAKENSIS]
                          [--run RUNNER...]
    kit_test.py other-arch --kit DIR --arch ARCH --toolchain FILE --source DIR --work DIR
    kit_test.py reproducible --source DIR --preset NAME --time-stamp SECONDS --work DIR
    kit_test.py signed    --module DLL --tests EXE --work DIR --run RUNNER...
    kit_test.py refused   --module DLL --work DIR

With --run, the programs built are also started with RUNNER (the 64-bit
Windows runner) and their output is compared with the catalogue's English
texts; the test then needs LC_ALL=en_US.UTF-8.
"""
import argparse
import hashlib
import os
import re
import shutil
import subprocess
import sys
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'catalog'))
import catalog  # noqa: E402
sys.path.insert(0, os.path.join(ROOT, 'cmake'))
import pe_extras  # noqa: E402

US_ENGLISH = 0x0409
# What the example hosts are asked for when run, and the catalogue IDs
# behind each request.
EXAMPLE_REQUESTS = ['2', '9', '101', '20005', '9:1002']


class Failure(Exception):
    pass


def run(command, **kwargs):
    """Runs a command; returns its standard output, without its diagnostics."""
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)
    if result.returncode != 0:
        raise Failure(f'{" ".join(command)} exited with {result.returncode}:\n'
                      f'{result.stdout.decode("utf-8", "replace")}{result.stderr.decode("utf-8", "replace")}')
    return result.stdout


def english_texts():
    reader = catalog.Parser()
    reader.parse_file(os.path.join(ROOT, 'catalog', 'catalog.rc'))
    return reader.variants[US_ENGLISH]


def def_exports(path):
    """(name, ordinal) pairs of a module-definition file's EXPORTS."""
    exports = []
    with open(path, encoding='ascii') as f:
        for line in f:
            m = re.match(r'\s+([^\s=;]+)(?:\s*=\s*\S+)?\s+@(\d+)\s*(?:;.*)?$', line)
            if m and '==' not in line:
                exports.append((m.group(1), int(m.group(2))))
    return exports


# ---- stage ---------------------------------------------------------------------------

def files_under(root):
    return {os.path.relpath(os.path.join(d, f), root).replace(os.sep, '/')
            for d, _, files in os.walk(root) for f in files}


def check_sums(kit):
    """SHA256SUMS names every other file of the kit, each with its hash."""
    listed = {}
    with open(os.path.join(kit, 'SHA256SUMS'), encoding='ascii') as f:
        for line in f:
            digest, path = line.rstrip('\n').split('  ', 1)
            listed[path] = digest
    problems = [f'SHA256SUMS: {p} is not listed' for p in sorted(files_under(kit) - set(listed) - {'SHA256SUMS'})]
    for path, digest in sorted(listed.items()):
        full = os.path.join(kit, path)
        if not os.path.isfile(full):
            problems.append(f'SHA256SUMS: {path} is not in the kit')
        elif hashlib.sha256(open(full, 'rb').read()).hexdigest() != digest:
            problems.append(f'SHA256SUMS: {path} has another hash')
    if problems:
        raise Failure('\n'.join(problems))


def debuglink_crc(module):
    section = pe_extras.find_section(pe_extras.load(module, fast_load=True), '.gnu_debuglink')
    if section is None:
        raise Failure(f'{module}: no .gnu_debuglink')
    data = section.get_data(ignore_padding=True)
    name = data[:data.index(b'\0')].decode('ascii')
    return name, int.from_bytes(data[-4:], 'little')


def stage(args):
    """Makes the release archives with CPack and unpacks the kit's into --kit.
    It must hold what `cmake --install` lays out, byte for byte, with a
    SHA256SUMS that agrees; the symbols' archive must hold the very debug
    file that the DLL's .gnu_debuglink names."""
    packages = os.path.join(args.work, 'package')
    unpacked = os.path.join(args.work, 'unpacked')
    installed = os.path.join(args.work, 'installed')
    for directory in (packages, unpacked, installed, args.kit):
        shutil.rmtree(directory, ignore_errors=True)
    run([args.cpack, '--config', os.path.join(args.build, 'CPackConfig.cmake'), '-B', packages])
    for suffix in ('', '-symbols'):
        archive = os.path.join(packages, f'{args.archive}{suffix}.zip')
        if not os.path.isfile(archive):
            raise Failure(f'CPack made {sorted(os.listdir(packages))}, not {os.path.basename(archive)}')
        with zipfile.ZipFile(archive) as z:
            z.extractall(unpacked)
    root = os.path.join(unpacked, args.archive)
    name, crc = debuglink_crc(os.path.join(root, 'bin', 'Quorvel.dll'))
    symbols = os.path.join(root, 'bin', name)
    if not os.path.isfile(symbols) or zlib.crc32(open(symbols, 'rb').read()) != crc:
        raise Failure(f'the symbols archive has no {name} with the CRC that Quorvel.dll names')
    os.remove(symbols)
    shutil.move(root, args.kit)
    check_sums(args.kit)

    run([args.cmake, '--install', args.build, '--prefix', installed, '--component', 'kit'])
    different = sorted(p for p in files_under(installed) | files_under(args.kit)
                       if not os.path.isfile(os.path.join(args.kit, p)) or not os.path.isfile(os.path.join(installed, p))
                       or open(os.path.join(args.kit, p), 'rb').read() != open(os.path.join(installed, p), 'rb').read())
    if different:
        raise Failure(f'the archive and `cmake --install` differ in {different}')
    print(f'{args.archive}.zip unpacked into {args.kit}: SHA256SUMS agrees, as `cmake --install` lays it out; '
          f'symbols in {args.archive}-symbols.zip')


# ---- layout ---------------------------------------------------------------------------

KIT_FILES = {
    'SHA256SUMS',
    'bin/Quorvel.dll',
    'include/quorvel.h',
    'include/quorvel_loader.h',
    'include/quorvel.nsh',
    'lib/Quorvel.def',
    'lib/Quorvel.lib',
    'lib/libQuorvel.dll.a',
    'lib/cmake/Quorvel/QuorvelConfig.cmake',
    'lib/cmake/Quorvel/QuorvelConfigVersion.cmake',
    'share/doc/Quorvel/host-developers.md',
}


def loader_export_names(header, arch):
    """The export names quorvel_loader.h resolves on `arch`."""
    names, branch = {}, None
    with open(header, encoding='utf-8') as f:
        for line in f:
            if line.startswith('#if defined(_WIN64)'):
                branch = 'x86_64'
            elif line.startswith('#else') and branch == 'x86_64':
                branch = 'i686'
            elif line.startswith('#endif'):
                branch = None
            m = re.match(r'#define QUORVEL_EXPORT_(\w+) "([^"]+)"', line)
            if m and branch in (None, arch):
                names[m.group(1)] = m.group(2)
    return names


def layout(args):
    problems = []
    present = files_under(args.kit)
    for path in sorted(KIT_FILES - present):
        problems.append(f'{path}: missing')
    for path in sorted(present - KIT_FILES):
        problems.append(f'{path}: not part of the kit')
    with open(os.path.join(args.kit, 'bin', 'Quorvel.dll'), 'rb') as a, open(args.module, 'rb') as b:
        if a.read() != b.read():
            problems.append('bin/Quorvel.dll: not the module the build made')
    wanted = def_exports(args.def_file)
    installed = def_exports(os.path.join(args.kit, 'lib', 'Quorvel.def'))
    if installed != wanted:
        problems.append(f'lib/Quorvel.def: exports {installed}, the module exports {wanted}')
    resolved = loader_export_names(os.path.join(args.kit, 'include', 'quorvel_loader.h'), args.arch)
    for name, ordinal in wanted:
        function = re.match(r'\??(\w+)', name).group(1)
        if resolved.get(function) != name:
            problems.append(f'quorvel_loader.h resolves {function} as {resolved.get(function)!r}, '
                            f'the module exports {name!r}')
    if problems:
        raise Failure('\n'.join(problems))
    print(f'{len(present)} files; export table and loader names agree with the module ({args.arch})')


# ---- headers --------------------------------------------------------------------------

STANDARDS = {'c': ['c89', 'c99', 'c11'], 'c++': ['c++98', 'c++11', 'c++20']}


def headers(args):
    """Compiles and links a host that names every function and typedef, in
    each language standard, against the installed headers and the MinGW
    import library: the link resolves the five functions' MinGW names."""
    source = os.path.join(HERE, 'header_check.c' if args.language == 'c' else 'header_check.cpp')
    os.makedirs(args.work, exist_ok=True)
    for standard in STANDARDS[args.language]:
        output = os.path.join(args.work, f'header_check_{standard.replace("+", "x")}.exe')
        run([args.compiler, f'-std={standard}', '-pedantic', '-Wall', '-Wextra', '-Werror',
             '-I', os.path.join(args.kit, 'include'), source,
             '-L', os.path.join(args.kit, 'lib'), '-lQuorvel', '-o', output])
        print(f'{standard}: compiles and links')


# ---- running the hosts -----------------------------------------------------------------

def parse_request(request):
    """'ID' asks DllGetString, 'MESSAGE:TOKEN' DllGetDynamicString,
    'plain:ID' GetStringFromQuorvelDll."""
    if request.startswith('plain:'):
        return 'GetStringFromQuorvelDll', int(request[6:]), None
    if ':' in request:
        message, token = (int(part) for part in request.split(':'))
        return 'DllGetDynamicString', message, token
    return 'DllGetString', int(request), None


def check_output(program, output, requests, texts):
    """Each request answers one line. Plain texts must be the catalogue's;
    the expanded text holds the message with the token's text replaced by
    whatever the registry (or the default) supplies, and its size is one
    byte more than the text and NUL."""
    lines = output.decode('cp1252').splitlines()
    if len(lines) != len(requests):
        raise Failure(f'{program}: {len(lines)} lines for {len(requests)} requests:\n' + '\n'.join(lines))
    for line, request in zip(lines, requests):
        function, first, token = parse_request(request)
        if token is None:
            text = texts[first]
            expected = f'{function}({first}) = "{text}" (size {len(text.encode("cp1252")) + 1})'
            if line != expected:
                raise Failure(f'{program}: got\n  {line}\nexpected\n  {expected}')
            continue
        message, token_text = texts[first], texts[token]
        before, after = message.split(token_text, 1)
        m = re.fullmatch(rf'{function}\({first}, {token}\) = "(.*)" \(size (\d+)\)', line)
        if not m or not m.group(1).startswith(before) or not m.group(1).endswith(after) \
                or len(m.group(1)) <= len(before + after) or int(m.group(2)) != len(m.group(1)) + 2:
            raise Failure(f'{program}: got\n  {line}\nexpected {message!r} with {token_text!r} replaced, '
                          f'size length + 2')
    print(f'{program}: {len(lines)} answers as the catalogue has them')


def run_host(runner, program, requests):
    return run(runner + [program] + requests, cwd=os.path.dirname(program))


# ---- msvc -------------------------------------------------------------------------------

def msvc(args):
    """Compiles a host as Microsoft's compiler would (its name decoration and
    calling conventions, no C runtime) and links it with lld-link against
    the installed Quorvel.lib: the decorated names must resolve, and the
    program must import all six functions from Quorvel.dll by name."""
    os.makedirs(args.work, exist_ok=True)
    triple = {'i686': 'i686-pc-windows-msvc', 'x86_64': 'x86_64-pc-windows-msvc'}[args.arch]
    machine = {'i686': 'x86', 'x86_64': 'x64'}[args.arch]
    obj = os.path.join(args.work, 'msvc_host.obj')
    exe = os.path.join(args.work, 'msvc_host.exe')
    run([args.clang, f'--target={triple}', '-O1', '-fno-exceptions', '-fno-stack-protector', '-Wall', '-Werror',
         '-I', os.path.join(args.kit, 'include'), '-c', os.path.join(HERE, 'msvc_host.cpp'), '-o', obj])
    run([args.lld_link, '-nologo', '-nodefaultlib', '-entry:HostMain', '-subsystem:console', f'-machine:{machine}',
         '-safeseh:no' if args.arch == 'i686' else '-debug:none', f'-out:{exe}', obj,
         os.path.join(args.kit, 'lib', 'Quorvel.lib'), args.kernel32])

    imports = imported_names(exe, 'Quorvel.dll')
    wanted = sorted(name for name, _ in def_exports(os.path.join(args.kit, 'lib', 'Quorvel.def')))
    if sorted(imports) != wanted:
        raise Failure(f'msvc_host.exe imports {sorted(imports)} from Quorvel.dll, expected {wanted}')
    print(f'linked with lld-link; imports from Quorvel.dll: {", ".join(imports)}')

    if args.run:
        shutil.copy(os.path.join(args.kit, 'bin', 'Quorvel.dll'), args.work)
        texts = english_texts()
        output = run(args.run + [exe], cwd=args.work)
        # What msvc_host.cpp asks, in the examples' output format.
        check_output('msvc_host.exe', output, ['9', 'plain:2', '9:1002'], texts)


def imported_names(program, dll):
    """What `program` imports from `dll`, named in any case, as Windows finds it."""
    found = pe_extras.imports(pe_extras.load(program))
    return next((names for name, names in found.items() if name.lower() == dll.lower()), [])


# ---- examples ----------------------------------------------------------------------------

def configure(args, build, extra=()):
    return subprocess.run([args.cmake, '-S', args.source, '-B', build, f'-DCMAKE_TOOLCHAIN_FILE={args.toolchain}',
                           f'-DQUORVEL_MINGW_ARCH={args.arch}', f'-DQuorvel_DIR={args.kit}/lib/cmake/Quorvel',
                           '-DCMAKE_BUILD_TYPE=Release', *extra],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT)


def examples(args):
    """Configures examples/ as a project of its own against the installed
    package, builds both hosts and, with --run, checks what they print."""
    build = os.path.join(args.work, 'examples')
    shutil.rmtree(build, ignore_errors=True)
    result = configure(args, build)
    if result.returncode != 0:
        raise Failure('configuring the examples failed:\n' + result.stdout.decode('utf-8', 'replace'))
    run([args.cmake, '--build', build])
    programs = [os.path.join(build, name) for name in ('quorvel_loader_example.exe', 'quorvel_linked_example.exe')]
    for program in programs:
        if not os.path.exists(os.path.join(os.path.dirname(program), 'Quorvel.dll')):
            raise Failure(f'{program}: Quorvel.dll was not copied next to it')
    print('examples configured with find_package(Quorvel) and built')
    if args.makensis:
        build_nsis_example(args)
    if args.run:
        texts = english_texts()
        for program in programs:
            check_output(os.path.basename(program), run_host(args.run, program, EXAMPLE_REQUESTS),
                         EXAMPLE_REQUESTS, texts)


NSIS_TARGETS = {'i686': ['x86-ansi', 'x86-unicode'], 'x86_64': ['amd64-unicode']}


def build_nsis_example(args):
    """Builds examples/nsis/setup.nsi for each NSIS target of the kit's
    architecture, with the kit's quorvel.nsh and module; warnings fail."""
    script = os.path.join(args.source, 'nsis', 'setup.nsi')
    for target in NSIS_TARGETS[args.arch]:
        installer = os.path.join(args.work, 'examples', f'setup-{target}.exe')
        run([args.makensis, '-V2', '-WX', f'-XTarget {target}', f'-X!addincludedir {args.kit}/include',
             f'-DQUORVEL_MODULE={args.kit}/bin/Quorvel.dll', f'-DOUTFILE={installer}', script])
        if not os.path.isfile(installer):
            raise Failure(f'makensis wrote no {installer}')
    print(f'examples/nsis/setup.nsi built with makensis for {", ".join(NSIS_TARGETS[args.arch])}')


def other_arch(args):
    """The package must refuse a host of the other pointer size."""
    other = {'i686': 'x86_64', 'x86_64': 'i686'}[args.arch]
    build = os.path.join(args.work, 'examples-other-arch')
    shutil.rmtree(build, ignore_errors=True)
    result = configure(argparse.Namespace(**dict(vars(args), arch=other)), build)
    output = result.stdout.decode('utf-8', 'replace')
    if result.returncode == 0:
        raise Failure(f'an {other} project accepted the {args.arch} kit')
    bits = {'i686': '(32bit)', 'x86_64': '(64bit)'}[args.arch]
    if 'not accepted' not in output or bits not in output:
        raise Failure(f'an {other} project failed for another reason than the pointer size:\n{output}')
    print(f'an {other} project is refused the {args.arch} kit')


# ---- reproducible ---------------------------------------------------------------------

RELEASE_OUTPUTS = ['bin/Quorvel.dll', 'bin/Quorvel.dll.debug', 'kit/libQuorvel.dll.a', 'kit/Quorvel.lib',
                   'kit/Quorvel.def', 'kit/libQuorvel.def']


def reproducible(args):
    """Builds the module and its import libraries twice, from copies of the
    sources in two directories of different depth, one after the other, with
    no SOURCE_DATE_EPOCH in the environment; the outputs must be equal byte
    for byte, and the module's PE checksum right."""
    shutil.rmtree(args.work, ignore_errors=True)
    environment = {k: v for k, v in os.environ.items() if k != 'SOURCE_DATE_EPOCH'}
    builds = []
    for place in ('a', os.path.join('somewhere', 'else', 'b')):
        source = os.path.join(args.work, place, 'quorvel')
        shutil.copytree(args.source, source, ignore=shutil.ignore_patterns('build', '.git'))
        build = os.path.join(source, 'build', args.preset)
        run([args.cmake, '--preset', args.preset, '-B', build, '-DBUILD_TESTING=OFF',
             f'-DQUORVEL_SOURCE_DATE_EPOCH={args.time_stamp}'], cwd=source, env=environment)
        run([args.cmake, '--build', build, '-j', '2', '--target', 'Quorvel', 'quorvel_import_libraries'],
            env=environment)
        builds.append(build)
    different = [path for path in RELEASE_OUTPUTS
                 if open(os.path.join(builds[0], path), 'rb').read() != open(os.path.join(builds[1], path), 'rb').read()]
    if different:
        raise Failure(f'two builds of the same sources differ in {different}: {builds}')
    checksum = pe_extras.checksum_error(pe_extras.load(os.path.join(builds[0], 'bin', 'Quorvel.dll')))
    if checksum:
        raise Failure(f'Quorvel.dll: {checksum}')
    shutil.rmtree(args.work, ignore_errors=True)
    print(f'two builds agree byte for byte in {", ".join(RELEASE_OUTPUTS)}; checksum right')


# ---- signed ----------------------------------------------------------------------------

def make_signing_certificate(work, password):
    """A throw-away CA and a code-signing certificate it issued, as PKCS#12."""
    def openssl(*arguments):
        run(['openssl', *arguments], cwd=work)
    openssl('req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-keyout', 'ca.key', '-out', 'ca.pem', '-days', '2',
            '-subj', '/CN=Quorvel test CA', '-addext', 'basicConstraints=critical,CA:true',
            '-addext', 'keyUsage=critical,keyCertSign')
    openssl('req', '-newkey', 'rsa:2048', '-nodes', '-keyout', 'signer.key', '-out', 'signer.csr',
            '-subj', '/CN=Quorvel test signer')
    with open(os.path.join(work, 'signer.ext'), 'w', encoding='ascii') as f:
        f.write('basicConstraints=CA:false\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n')
    openssl('x509', '-req', '-in', 'signer.csr', '-CA', 'ca.pem', '-CAkey', 'ca.key', '-CAcreateserial',
            '-out', 'signer.pem', '-days', '2', '-extfile', 'signer.ext')
    openssl('pkcs12', '-export', '-inkey', 'signer.key', '-in', 'signer.pem', '-certfile', 'ca.pem',
            '-out', 'signer.p12', '-passout', 'env:QUORVEL_TEST_PASSWORD')
    return os.path.join(work, 'signer.p12'), os.path.join(work, 'ca.pem')


def signed(args):
    """tools/sign on a copy of the module: a wrong password leaves it as it
    was and is never echoed; the signed module verifies against the CA and
    stops verifying when one byte changes; and the catalogue tests pass
    against it."""
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    password = 'Quorvel test password 7f3a'
    os.environ['QUORVEL_TEST_PASSWORD'] = password
    pkcs12, ca = make_signing_certificate(args.work, password)
    module = os.path.join(args.work, 'Quorvel.dll')
    shutil.copy(args.module, module)
    original = open(module, 'rb').read()
    sign = [os.path.join(ROOT, 'tools', 'sign'), module]

    wrong = dict(os.environ, QUORVEL_SIGN_PKCS12=pkcs12, QUORVEL_SIGN_PASSWORD='not ' + password)
    result = subprocess.run(sign, env=wrong, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode == 0 or open(module, 'rb').read() != original or wrong['QUORVEL_SIGN_PASSWORD'] in result.stdout:
        raise Failure(f'tools/sign with a wrong password: exit {result.returncode}, module '
                      f'{"unchanged" if open(module, "rb").read() == original else "changed"}:\n{result.stdout}')

    result = run(sign, env=dict(os.environ, QUORVEL_SIGN_PKCS12=pkcs12, QUORVEL_SIGN_PASSWORD=password))
    if password.encode() in result:
        raise Failure('tools/sign printed the password')
    run(['osslsigncode', 'verify', '-CAfile', ca, '-in', module])
    tampered = bytearray(open(module, 'rb').read())
    tampered[0x400] ^= 1  # the first byte of code
    with open(os.path.join(args.work, 'tampered.dll'), 'wb') as f:
        f.write(tampered)
    if subprocess.run(['osslsigncode', 'verify', '-CAfile', ca, '-in', f.name],
                      stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0:
        raise Failure('a signed module with one byte changed still verifies')

    tests = shutil.copy(args.tests, args.work)  # loads the Quorvel.dll beside it
    run(args.run + [tests, '--gtest_filter=Catalog.*:BufferProtocol.*'], cwd=args.work)
    print('signed; verifies against the CA, not with one byte changed; the catalogue tests pass against it')


def refused(args):
    """The pseudo-localized module: tools/sign refuses it, though the
    certificate and password would sign it, and leaves it as it was; the
    kit's install, which the package target runs, refuses it as the kit's
    module."""
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    password = 'Quorvel test password 7f3a'
    os.environ['QUORVEL_TEST_PASSWORD'] = password
    pkcs12, _ = make_signing_certificate(args.work, password)
    module = shutil.copy(args.module, args.work)
    original = open(module, 'rb').read()
    result = subprocess.run([os.path.join(ROOT, 'tools', 'sign'), module], stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True,
                            env=dict(os.environ, QUORVEL_SIGN_PKCS12=pkcs12, QUORVEL_SIGN_PASSWORD=password))
    if result.returncode == 0 or 'Pseudo-localized test build' not in result.stdout or \
            open(module, 'rb').read() != original:
        raise Failure(f'tools/sign on the pseudo-localized module: exit {result.returncode}:\n{result.stdout}')
    refuse = os.path.join(ROOT, 'cmake', 'RefuseSpecialBuild.cmake')
    result = subprocess.run([args.cmake, f'-Dmodule={module}', '-P', refuse],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode == 0 or 'never packaged' not in ' '.join(result.stdout.split()):
        raise Failure(f'the kit\'s install on the pseudo-localized module: exit {result.returncode}:\n{result.stdout}')
    print('tools/sign and the kit\'s install refuse the pseudo-localized module')


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest='command', required=True)

    p = commands.add_parser('stage')
    for option in ('--build', '--archive', '--work', '--kit'):
        p.add_argument(option, required=True)
    p.add_argument('--cpack', default='cpack')
    p.set_defaults(handler=stage)

    p = commands.add_parser('reproducible')
    for option in ('--source', '--preset', '--time-stamp', '--work'):
        p.add_argument(option, required=True)
    p.set_defaults(handler=reproducible)

    p = commands.add_parser('signed')
    for option in ('--module', '--tests', '--work'):
        p.add_argument(option, required=True)
    p.add_argument('--run', nargs=argparse.REMAINDER, required=True)
    p.set_defaults(handler=signed)

    p = commands.add_parser('refused')
    for option in ('--module', '--work'):
        p.add_argument(option, required=True)
    p.set_defaults(handler=refused)

    p = commands.add_parser('layout')
    p.add_argument('--kit', required=True)
    p.add_argument('--arch', required=True, choices=['i686', 'x86_64'])
    p.add_argument('--module', required=True)
    p.add_argument('--def', dest='def_file', required=True)
    p.set_defaults(handler=layout)

    p = commands.add_parser('headers')
    p.add_argument('--kit', required=True)
    p.add_argument('--compiler', required=True)
    p.add_argument('--language', required=True, choices=['c', 'c++'])
    p.add_argument('--work', required=True)
    p.set_defaults(handler=headers)

    p = commands.add_parser('msvc')
    for option in ('--kit', '--clang', '--lld-link', '--kernel32', '--work'):
        p.add_argument(option, required=True)
    p.add_argument('--arch', required=True, choices=['i686', 'x86_64'])
    p.add_argument('--run', nargs=argparse.REMAINDER)
    p.set_defaults(handler=msvc)

    for name, handler in (('examples', examples), ('other-arch', other_arch)):
        p = commands.add_parser(name)
        for option in ('--kit', '--toolchain', '--source', '--work'):
            p.add_argument(option, required=True)
        p.add_argument('--arch', required=True, choices=['i686', 'x86_64'])
        p.add_argument('--makensis')
        p.add_argument('--run', nargs=argparse.REMAINDER)
        p.set_defaults(handler=handler)

    for p in commands.choices.values():
        p.add_argument('--cmake', default='cmake')
    args = parser.parse_args()
    try:
        args.handler(args)
    except Failure as e:
        print(e, file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
