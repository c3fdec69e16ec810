{ Just enough of a host program for the procedure `kovet getdata` writes to compile against:
  the form TForm1 with its display component KVTImage1, whose fields answer FieldByName with
  the typed accessors. The procedure, its right-hand sides filled in, is getdata.inc. }
unit getdatastub;

{$mode delphi}

interface

uses
  Classes;

type
  TKVTField = class
  public
    AsString: string;
    AsDouble: Double;
    AsInteger: Integer;
    AsDateTime: TDateTime;
    AsBoolean: Boolean;
    AsStringList: TStrings;
  end;

  TKVTImage = class
  public
    function FieldByName(const Name: string): TKVTField;
  end;

  TForm1 = class
  public
    KVTImage1: TKVTImage;
    procedure GetKVTData;
  end;

implementation

function TKVTImage.FieldByName(const Name: string): TKVTField;
begin
  Result := TKVTField.Create;
end;

{$I getdata.inc}

end.
