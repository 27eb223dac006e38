#!/usr/bin/perl
# Writes a test workbook from a cell list with an independent writer:
# Spreadsheet::WriteExcel (.xls) or Excel::Writer::XLSX (.xlsx).
# Usage: write_workbook.pl xls|xlsx CELLS OUT
# CELLS: UTF-8 lines "date1904", "sheet\tNAME\tvisible|hidden|chart" and
# "ROW\tCOL\tKIND\tVALUE[\tEXTRA]" (0-based; \n \r \t \\ escaped), KIND one of
# s (text), n (number), date (yyyy-mm-dd), b (0/1), f (formula, EXTRA its value),
# rich (two runs: VALUE bold, EXTRA plain).
use strict;
use warnings;

my ($format, $cells, $out) = @ARGV;
die "usage: $0 xls|xlsx CELLS OUT\n" unless $out;
if ($format eq 'xls') {
    require Spreadsheet::WriteExcel;
} else {
    require Excel::Writer::XLSX;
}
my $workbook = $format eq 'xls' ? Spreadsheet::WriteExcel->new($out)
                                : Excel::Writer::XLSX->new($out);
die "cannot write $out\n" unless $workbook;
my $dates = $workbook->add_format(num_format => 'yyyy-mm-dd');
my $bold = $workbook->add_format(bold => 1);

sub unescape {
    my ($text) = @_;
    $text =~ s/\\(.)/$1 eq 'n' ? "\n" : $1 eq 'r' ? "\r" : $1 eq 't' ? "\t" : $1/ge;
    return $text;
}

open(my $in, '<:encoding(UTF-8)', $cells) or die "cannot read $cells\n";
my $sheet;
my @charts;
while (my $line = <$in>) {
    chomp $line;
    my @f = split /\t/, $line, -1;
    if ($f[0] eq 'date1904') {
        $workbook->set_1904();
    } elsif ($f[0] eq 'sheet') {
        my $name = unescape($f[1]);
        if ($f[2] eq 'chart') {
            push @charts, $name;
            next;
        }
        $sheet = $workbook->add_worksheet($name);
        $sheet->hide() if $f[2] eq 'hidden';
    } else {
        my ($row, $col, $kind) = @f[0 .. 2];
        my $value = unescape($f[3] // '');
        my $extra = unescape($f[4] // '');
        if ($kind eq 's') { $sheet->write_string($row, $col, $value); }
        elsif ($kind eq 'n') { $sheet->write_number($row, $col, $value); }
        elsif ($kind eq 'date') { $sheet->write_date_time($row, $col, $value . 'T', $dates); }
        elsif ($kind eq 'b') {
            if ($format eq 'xls') { $sheet->write_formula($row, $col, $value ? '=TRUE' : '=FALSE', undef, $value ? 'TRUE' : 'FALSE'); }
            else { $sheet->write_boolean($row, $col, $value); }
        }
        elsif ($kind eq 'f') {
            # WriteExcel stores a wide formula text result big-endian, which no
            # reader expects: keep Latin-1 results narrow.
            utf8::downgrade($extra, 1) if $format eq 'xls';
            $sheet->write_formula($row, $col, $value, undef, $extra);
        }
        elsif ($kind eq 'rich') {
            if ($format eq 'xls') { $sheet->write_string($row, $col, $value . $extra); }
            else { $sheet->write_rich_string($row, $col, $bold, $value, $extra); }
        }
        else { die "unknown kind $kind\n"; }
    }
}
for my $name (@charts) {
    my $chart = $workbook->add_chart(type => 'column', name => $name);
    $chart->add_series(values => '=' . $workbook->sheets(0)->get_name() . '!$A$1:$A$2');
}
$workbook->close() or die "cannot close $out\n";
