"""The batch run: program folder, output name, session tables, errors and
exit statuses."""

import pytest

from conftest import start

ERROR_TEXT = "Error {} in DXF startdrawing.  Please contact Tarsel"


def test_writes_temp_dxf_in_its_own_folder_with_the_session_tables(convert):
    run = convert("S\t600\t600\t\nSTOP\t\n")
    assert run.returncode == 0, run.stderr
    assert run.stderr == ""
    doc = run.read()
    assert doc.dxfversion == "AC1018"
    assert doc.header["$INSUNITS"] == 1
    assert tuple(doc.header["$LIMMIN"])[:2] == (0, 0)
    assert tuple(doc.header["$LIMMAX"])[:2] == (8.5, 11)
    layers = {layer.dxf.name for layer in doc.layers}
    assert {"0", "MAIN", "QFENCE", "BORDER"} <= layers
    linetypes = {lt.dxf.name.upper() for lt in doc.linetypes}
    assert {"CONTINUOUS", "HIDDEN", "DASHDOT", "CENTER", "DOT"} <= linetypes
    styles = {style.dxf.name: style for style in doc.styles}
    assert styles["MYTEXT"].dxf.font.lower() == "comic.ttf"
    assert styles["USERFONT"].dxf.font.lower() == "arial.ttf"
    views = {view.dxf.name: view for view in doc.views}
    assert set(views) == {"TOPVIEW", "3D270", "3D0", "3D90", "3D180"}
    assert tuple(views["3D270"].dxf.direction) == (0, -1, 1)


def test_output_name_is_the_command_line_text(convert):
    run = convert("STOP\t\n", args=["log", "one.dxf"])
    assert run.returncode == 0, run.stderr
    run.read("log one.dxf")  # POSIX joins the arguments with single blanks
    assert not run.dxf_path().exists()


def test_missing_command_file_reports_53_and_still_writes_the_drawing(convert):
    run = convert(None)
    assert ERROR_TEXT.format(53) in run.stderr
    assert run.returncode == 1
    doc = run.read()
    assert len(doc.modelspace()) == 0
    assert "MAIN" in {layer.dxf.name for layer in doc.layers}


def test_empty_command_file_reports_62(convert):
    run = convert("")
    assert ERROR_TEXT.format(62) in run.stderr
    assert run.returncode == 1
    run.read()


@pytest.mark.parametrize(
    "failing_line, error",
    [
        ("SR\t1\t2\t3\t4\t5\t6\t7\t8\t", 9),
        ("SH\t0\t\nSR\t5\t", 11),
        ("SH\t0\t\nSR\t0\t", 6),
        ("LT\t40000\t", 6),
    ],
)
def test_errors_end_the_run_and_keep_what_came_before(convert, failing_line, error):
    run = convert(f"S\t600\t600\t\n{failing_line}\nS\t1200\t1200\t\n")
    assert ERROR_TEXT.format(error) in run.stderr
    assert "line " in run.stderr  # the converter says where it stopped
    assert run.returncode == 1
    run.read()


def test_missing_hatch_file_ends_with_the_run_time_error_and_writes_nothing(convert):
    run = convert("STOP\t\n", hatch=False)
    assert "Run-time error '53': File not found" in run.stderr
    assert run.returncode == 3
    assert not run.dxf_path().exists()


def test_unwritable_output_is_reported_with_status_2(convert):
    run = convert("STOP\t\n", args=["no such folder/out.dxf"])
    assert run.returncode == 2
    assert "could not be written" in run.stderr
    assert "no such folder/out.dxf" in run.stderr


def test_an_output_name_that_is_a_folder_fails_cleanly(convert, tmp_path):
    run = convert("STOP\t\n", args=["sub"])
    assert run.returncode == 0  # writes the file "sub"
    (run.folder / "sub").unlink()
    (run.folder / "sub").mkdir()
    (run.folder / "sub" / "inside.txt").write_text("kept")
    before = sorted(p.name for p in run.folder.iterdir())
    rerun = start(run.folder, ["sub"], cwd=tmp_path, text=True)
    assert rerun.returncode == 2
    assert "sub" in rerun.stderr
    assert (run.folder / "sub" / "inside.txt").read_text() == "kept"
    assert sorted(p.name for p in run.folder.iterdir()) == before  # no temporary left over
